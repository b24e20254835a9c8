#!/usr/bin/env bash
# CI, as root on a Debian machine: builds the packages, runs lintian on them (no errors; the
# warnings are printed), installs them with apt-get, starts the installed host as a normal
# user with null audio and asks it for /version on port 8081, runs `dravo --help`, verifies the
# user unit, then purges the packages and checks that nothing is left behind in /usr.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/install_packages.sh
[ "$(id -u)" -eq 0 ] || { echo "package_check: run as root (it installs packages)" >&2; exit 2; }
install_packages lintian systemd man-db curl util-linux
build=$(pwd)/${PACKAGE_BUILD_DIR:-build-package}
PACKAGE_BUILD_DIR=$build scripts/package.sh "$@"
debs=("$build"/dravo_*.deb "$build"/dravo-host_*.deb)

for deb in "${debs[@]}"; do
  echo "== dpkg -c $(basename "$deb")"
  dpkg-deb -c "$deb"
done
echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "${debs[@]}"

user=dravo-check
home=/tmp/dravo-check-home
host_pid=
cleanup() {
  [ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null && wait "$host_pid" 2>/dev/null
  id "$user" >/dev/null 2>&1 && userdel "$user"
  rm -rf "$home"
  return 0
}
trap cleanup EXIT
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -y -q "$@"; }
usr_files() { find /usr -xdev | LC_ALL=C sort; }

# A first round pulls in the dependencies and lets the triggers make their caches, so that the
# list taken next holds everything that stays after the purge.
apt_get install --no-install-recommends "${debs[@]}"
apt_get purge dravo dravo-host
usr_files > "$build/usr-before.txt"
apt_get install --no-install-recommends "${debs[@]}"

echo "== the installed host, as a normal user"
cleanup  # a run cut short may have left the user behind
useradd --home-dir "$home" --create-home --shell /usr/sbin/nologin "$user"
# A command, not a function: started in the background, $! must be the program itself.
as_user=(setpriv --reuid="$user" --regid="$user" --init-groups
  env -i HOME="$home" PATH=/usr/bin:/bin USER="$user" LANG=C.UTF-8)
(cd "$home" && "${as_user[@]}" player_host --help) | tee "$build/host-help.txt"
grep -q "$home/.local/share/dravo/plugins" "$build/host-help.txt"
grep -q "/usr/lib/.*/dravo/plugins" "$build/host-help.txt"
# Another server on the port would answer for ours.
if curl -s -o /dev/null --max-time 2 http://127.0.0.1:8081/; then
  echo "package_check: port 8081 is already in use" >&2
  exit 1
fi
cd "$home"
"${as_user[@]}" player_host --audio-output null > "$build/host.log" 2>&1 &
host_pid=$!
cd - >/dev/null
answer=
for _ in $(seq 100); do
  answer=$(curl -s --max-time 2 http://127.0.0.1:8081/version) && break
  kill -0 "$host_pid" 2>/dev/null || break
  sleep 0.2
done
echo "version: $answer"
[ "$answer" = "dravo_srv v1.14" ] || { cat "$build/host.log"; exit 1; }
# The installed plug-in keeps its files in the user's folders.
test -f "$home/.config/dravo/gen_dravo_srv.ini"
test -d "$home/.local/state/dravo"
test -d "$home/.cache/dravo"
kill "$host_pid"; wait "$host_pid" || true; host_pid=

echo "== dravo --help"
"${as_user[@]}" dravo --help
echo "== systemd-analyze verify"
systemd-analyze verify /usr/lib/systemd/user/dravo-host.service

echo "== purge"
cleanup
apt_get purge dravo dravo-host
usr_files > "$build/usr-after.txt"
if ! diff "$build/usr-before.txt" "$build/usr-after.txt"; then
  echo "package_check: the purge left the files above behind in /usr" >&2
  exit 1
fi
echo "package_check: passed"
