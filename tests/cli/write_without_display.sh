#!/usr/bin/env bash
# The desktop program writes a project's list from the command line with no
# display at all (a Qt application would abort there): PELISTO MKWAV.
# Checks the exit status of a write, a refusal and a wrong command line,
# and that a refusal leaves nothing behind.
set -u
pelisto=$(realpath "$1")
mkwav=$(realpath "$2")
work=$(mktemp -d "${TMPDIR:-/tmp}/pelisto-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
export XDG_CONFIG_HOME="$work/.config" XDG_STATE_HOME="$work/.state" XDG_CACHE_HOME="$work/.cache"
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

"$mkwav" demo a.wav || exit 2
# A project of one range, the first 100000 frames of a.wav.
path="$work/a.wav"
record() { printf "\\x$(printf %02x $((${#1} >> 8)))\\x$(printf %02x $((${#1} & 255)))%s" "$1"; }
{
  printf 'WAVEEDIT\x01\x02'
  record "$path"
  printf '\x10'
  record "$path"
  record a.wav
  printf '\x00\x00\x00\x00\x00\x01\x86\xa0\x00\x00\x00\x00\x00\x00\x00\x00'
  printf '\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  printf '\x1f'
} > p.prj

failed=0
expect() {  # STATUS ARGS…
  local want=$1
  shift
  "$pelisto" "$@" > out.txt 2> err.txt
  local got=$?
  if [ "$got" -ne "$want" ]; then
    echo "pelisto $*: exit $got, expected $want"
    cat err.txt
    failed=1
  fi
}
expect 0 --write p.prj out.flac --loudness=-16
[ -s out.flac ] || { echo "out.flac was not written"; failed=1; }
grep -q '^Waveファイルの作成: .*100%$' err.txt || { echo "no progress line:"; cat err.txt; failed=1; }
grep -q '^音量をそろえました' err.txt || { echo "no loudness report:"; cat err.txt; failed=1; }
expect 1 --write p.prj a.wav
expect 1 --write missing.prj out.mp3
expect 2 --write p.prj out.aiff
expect 2 --write p.prj
# (The program's own folders, where the test put them, aside: the state
# folder notes each save while it runs.)
names=$(ls -A | grep -v -x -e .state -e .config -e .cache | tr '\n' ' ')
[ "$names" = "a.wav err.txt out.flac out.txt p.prj " ] || {
  echo "left behind: $names"
  failed=1
}
exit $failed
