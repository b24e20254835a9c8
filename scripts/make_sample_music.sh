#!/usr/bin/env bash
# Makes a small sample music folder: short tones with artist and title tags, in several
# folders, as mp3, ogg and wav, some names with blanks and national letters.
# Usage: scripts/make_sample_music.sh DIR     (needs sox, lame, oggenc and id3v2)
set -euo pipefail

if [ $# -ne 1 ] || [ -z "$1" ]; then
  echo "usage: $0 DIR" >&2
  exit 2
fi
for tool in sox lame oggenc id3v2; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is missing" >&2; exit 1; }
done

out=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# tone SECONDS PITCH: a 16-bit mono wav in the work folder (oggenc refuses sox's float default).
tone() {
  local wav="$work/tone-$1-$2.wav"
  sox -n -b 16 -r 22050 -c 1 "$wav" synth "$1" sine "$2" fade 0.05 "$1" 0.2
  echo "$wav"
}

# mp3 FILE ARTIST TITLE ALBUM SECONDS PITCH
mp3() {
  mkdir -p "$(dirname "$out/$1")"
  lame --quiet --id3v2-only --ta "$2" --tt "$3" --tl "$4" "$(tone "$5" "$6")" "$out/$1"
}

# ogg FILE ARTIST TITLE ALBUM SECONDS PITCH
ogg() {
  mkdir -p "$(dirname "$out/$1")"
  oggenc --quiet -a "$2" -t "$3" -l "$4" -o "$out/$1" "$(tone "$5" "$6")"
}

# wav FILE SECONDS PITCH (no tags: the title is the file name)
wav() {
  mkdir -p "$(dirname "$out/$1")"
  cp "$(tone "$2" "$3")" "$out/$1"
}

mp3 "Blue Note Trio/Live at Värld/01 Morning Tone.mp3" "Blue Note Trio" "Morning Tone" "Live at Värld" 6 440
mp3 "Blue Note Trio/Live at Värld/02 Evening Tone.mp3" "Blue Note Trio" "Evening Tone" "Live at Värld" 5 494
mp3 "Blue Note Trio/Studio/Slow Walk.mp3" "Blue Note Trio" "Slow Walk" "Studio" 4 523
ogg "Sånger/Hej Värld.ogg" "Åsa Öberg" "Hej Värld" "Sånger" 5 587
ogg "Sånger/Sommar i Skåne.ogg" "Åsa Öberg" "Sommar i Skåne" "Sånger" 4 659
ogg "Sånger/Vinter.ogg" "Åsa Öberg" "Vinter" "Sånger" 3 698
wav "jazz/Night Walk.wav" 4 784
wav "misc/tone 440.wav" 3 440

# id3v2 tags a plain mp3 after the fact.
mkdir -p "$out/jazz/live"
lame --quiet "$(tone 5 880)" "$out/jazz/live/Quiet Blues.mp3"
id3v2 -a "Late Quartet" -t "Quiet Blues" -A "Live" "$out/jazz/live/Quiet Blues.mp3" >/dev/null

echo "Sample music in $out: $(find "$out" -type f | wc -l) files"
