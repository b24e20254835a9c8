#!/usr/bin/env bash
# The plug-in announces itself on a network of the test's own: two network namespaces joined by a
# veth pair, each with its own message bus and avahi-daemon (own configuration, own runtime
# folder through a mount namespace). The host with the plug-in runs in one, avahi-browse and the
# client's own browser (dravo_browse_probe) in the other: the service appears with its name,
# port and texts, and is gone after quit. The host starts before its daemon, the probe before
# its own, which must not matter. Exit 77 (skipped) where namespaces are not
# permitted. Usage: announce_test.sh BUILD_DIR
set -uo pipefail
build=$1
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
[ "$(id -u)" -eq 0 ] || skip "network namespaces need root"
for tool in ip unshare dbus-daemon avahi-daemon avahi-browse; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
probe=$build/bin/dravo_browse_probe
[ -x "$probe" ] || fail "$probe is not built"

id=$$
a=dravo-a-$id b=dravo-b-$id va=dva$((id % 100000)) vb=dvb$((id % 100000))
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  ip netns del "$a" 2>/dev/null; ip netns del "$b" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
ip netns add "$a" 2>/dev/null || skip "network namespaces are not permitted here"
ip netns add "$b" || fail "second namespace"
ip link add "$va" type veth peer name "$vb" || skip "veth links are not permitted here"
ip link set "$va" netns "$a" && ip link set "$vb" netns "$b" || fail "moving the veth ends"
ip -n "$a" addr add 10.213.0.1/24 dev "$va" && ip -n "$b" addr add 10.213.0.2/24 dev "$vb"
for ns in "$a" "$b"; do ip -n "$ns" link set lo up; done
ip -n "$a" link set "$va" up && ip -n "$b" link set "$vb" up || fail "links up"

# bus_conf SOCKET: a system bus (also at the usual path, where avahi-daemon looks for it) that
# lets root own and call anything.
bus_conf() {
  cat <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:path=$1</listen>
<listen>unix:path=/run/dbus/system_bus_socket</listen><auth>EXTERNAL</auth>
<policy context="default"><allow user="*"/><allow own="*"/><allow send_destination="*"/>
<allow receive_sender="*"/></policy></busconfig>
CONF
}
# avahi_conf HOSTNAME INTERFACE
avahi_conf() {
  printf '[server]\nhost-name=%s\nallow-interfaces=%s\nuse-ipv4=yes\nuse-ipv6=no\nenable-dbus=yes\n' "$1" "$2"
  printf '[wide-area]\nenable-wide-area=no\n[publish]\npublish-hinfo=no\npublish-workstation=no\n'
}
# start_stack NS NAME INTERFACE DELAY: the namespace's bus at once and its daemon DELAY seconds
# later, with /run/dbus and /run/avahi-daemon of their own.
start_stack() {
  bus_conf "$work/$2.bus" > "$work/$2-bus.conf"
  avahi_conf "dravo-$2" "$3" > "$work/$2-avahi.conf"
  mkdir -p /run/dbus /run/avahi-daemon
  ip netns exec "$1" unshare -m sh -c "mount -t tmpfs none /run/dbus &&
    mount -t tmpfs none /run/avahi-daemon &&
    dbus-daemon --config-file='$work/$2-bus.conf' --nofork --nopidfile &
    while [ ! -S /run/dbus/system_bus_socket ]; do sleep 0.1; done
    sleep $4; exec avahi-daemon --no-drop-root --no-chroot --no-rlimits -f '$work/$2-avahi.conf'" \
    > "$work/$2-stack.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -S "$work/$2.bus" ] && return 0; sleep 0.1; done
  fail "the bus of $2 did not start"
}
bus_of() { echo "unix:path=$work/$1.bus"; }

# The client's browser in namespace b, started before b's daemon (1 s later).
start_stack "$b" b "$vb" 1
ip netns exec "$b" env DBUS_SYSTEM_BUS_ADDRESS="$(bus_of b)" "$probe" 100 > "$work/probe.out" 2>&1 &
probe_pid=$!
pids+=($probe_pid)
# The host with the plug-in in namespace a; a's daemon comes 3 s after it.
start_stack "$a" a "$va" 3
mkdir -p "$work/plugins" "$work/music"
cp "$build/bin/plugins/gen_dravo_srv.so" "$work/plugins/"
port=8081
printf '[Settings]\r\nport=%s\r\nmedia_root=%s/\r\n' "$port" "$work/music" > "$work/plugins/gen_dravo_srv.ini"
ip netns exec "$a" env DBUS_SYSTEM_BUS_ADDRESS="$(bus_of a)" TMP="$work" \
  "$build/bin/player_host" --plugins "$work/plugins" --audio-output null --state-dir "$work/state" \
  > "$work/host.log" 2>&1 &
host=$!
pids+=($host)

name="dravo on $(hostname)"
escaped=${name// /\\032}  # avahi-browse -p writes a blank as \032
browse() {  # the resolved lines of a service type (_dravo._tcp) seen from namespace b
  ip netns exec "$b" env DBUS_SYSTEM_BUS_ADDRESS="$(bus_of b)" \
    timeout 10 avahi-browse -rtpk "${1:-_dravo._tcp}" 2>/dev/null | grep '^=' || true
}
found=""
for _ in $(seq 30); do
  found=$(browse)
  [ -n "$found" ] && break
  sleep 1
done
echo "seen: $found"
[ -n "$found" ] || { cat "$work"/*.log "$work/plugins/gen_dravo_srv.log" 2>/dev/null; fail "no _dravo._tcp service seen from the other namespace"; }
line=$(grep -F ";$escaped;_dravo._tcp;local;" <<< "$found" | head -1)
[ -n "$line" ] || fail "no service named '$name'"
IFS=';' read -r _ _ _ _ _ _ target address seen_port texts <<< "$line"
[ "$target" = "dravo-a.local" ] || fail "host name $target"
[ "$address" = "10.213.0.1" ] || fail "address $address"
[ "$seen_port" = "$port" ] || fail "port $seen_port"
for text in '"txtvers=1"' '"protocol=1"' '"page=yes"' '"path=/"'; do
  grep -qF "$text" <<< "$texts" || fail "text $text missing in $texts"
done
# The page is announced for any browser, too.
web=$(browse _http._tcp | grep -F ";$escaped;_http._tcp;" | grep -F ";$port;" | head -1)
[ -n "$web" ] || fail "no _http._tcp service for the page"
grep -q "waits for the Avahi daemon" "$work/plugins/gen_dravo_srv.log" \
  || fail "the missing daemon was not logged"
[ "$(grep -c "waits for the Avahi daemon" "$work/plugins/gen_dravo_srv.log")" -eq 1 ] \
  || fail "the missing daemon was logged more than once"

# The client's browser: name, host, IPv4 address, port, texts and the URL it would store.
page=$(grep -o '"page=[a-z]*"' <<< "$texts" | tr -d '"')
want=$(printf 'server\t%s\tdravo-a.local\t10.213.0.1\t%s\ttxtvers=1 protocol=1 %s path=/\thttp://10.213.0.1:%s/' \
  "$name" "$port" "$page" "$port")
probe_saw() { grep -qxF "$1" "$work/probe.out"; }
for _ in $(seq 20); do probe_saw "$want" && break; sleep 0.5; done
probe_saw "$want" || { cat "$work/probe.out"; fail "the client's browser did not see the service"; }

# Quit withdraws it.
kill -TERM "$host"
wait "$host"
gone=""
for _ in $(seq 15); do
  grep -qF ";$escaped;" <<< "$(browse)" || { gone=yes; break; }
  sleep 1
done
[ -n "$gone" ] || fail "the service is still seen after quit"
probe_empty() { [ "$(grep '^count' "$work/probe.out" | tail -1)" = "$(printf 'count\t0')" ]; }
for _ in $(seq 20); do probe_empty && break; sleep 0.5; done
probe_empty || { cat "$work/probe.out"; fail "the client's browser still lists the service after quit"; }
kill -TERM "$probe_pid"
wait "$probe_pid" && grep -qx stopped "$work/probe.out" || fail "the client's browser did not stop"
echo "client's browser saw: $want"
echo "PASS: announced as '$name' on port $port and withdrawn at quit"
