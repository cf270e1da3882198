#!/usr/bin/env bash
# The real program, end to end: PELISTO MKWAV XCLOSE ARTIFACTS
#
# Runs the desktop program on a virtual X display with SDL's "disk" sound
# driver, opens a generated WAV file through the menu and the file dialog as
# a user would (mouse and keyboard from xdotool), plays it with "元曲再生",
# waits until the sound device is given back, moves the view back one
# second and plays again, closes the window and checks that the bytes the
# driver wrote hold the file's sample data exactly (then the data from its
# second second on), with only silence around. Screenshots go to ARTIFACTS.
#
# Exits 77 (skipped) when xvfb-run, xauth or xdotool is missing.
set -u
readonly kSkip=77
readonly kClientHeight=586           # the main form's client area, the strip of the whole file on
readonly kButton1X=104 kButton1Y=232 # "元曲再生", 80 × 24
readonly kScrollX=104 kScrollY=200   # HSCROLL1, 600 × 16
readonly kBytesPerSecond=176400
readonly kDialogTitle='waveファイルを開く'

if [ $# -ne 4 ]; then
  echo "usage: play_disk.sh PELISTO MKWAV XCLOSE ARTIFACTS" >&2
  exit 2
fi

if [ "${PELISTO_E2E_INNER:-}" != 1 ]; then
  # -noreset: by default Xvfb resets when its last client leaves (a killed
  # program, an xdotool call) and drops a client connecting meanwhile.
  for tool in xvfb-run xauth xdotool; do
    if ! command -v "$tool" > /dev/null; then
      echo "skipped: $tool not found"
      exit $kSkip
    fi
  done
  export PELISTO_E2E_INNER=1
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi

pelisto=$(realpath "$1")
mkwav=$(realpath "$2")
xclose=$(realpath "$3")
artifacts=$4
mkdir -p "$artifacts"
work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2> /dev/null; then kill "$pid"; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  [ -f "$work/pelisto.log" ] && { echo "--- program output"; cat "$work/pelisto.log"; }
  screenshot e2e_failed.png
  exit 1
}
screenshot() {
  if command -v import > /dev/null; then
    import -window root "$artifacts/$1" || echo "note: screenshot $1 failed"
  fi
}
# Polls COMMAND every 0.2 s for up to SECONDS; true once it succeeds.
wait_for() {
  local seconds=$1
  shift
  local tries=$((seconds * 5))
  while [ $tries -gt 0 ]; do
    if "$@"; then return 0; fi
    sleep 0.2
    tries=$((tries - 1))
  done
  return 1
}
dialog_shown() { xdotool search --onlyvisible --name "^${kDialogTitle}\$" > /dev/null 2>&1; }
dialog_gone() { ! dialog_shown; }
find_window() {
  wid=$(xdotool search --onlyvisible --pid "$pid" --name '^Pelisto$' 2> /dev/null | head -n 1)
  [ -n "$wid" ]
}
file_size() { stat -c %s "$1" 2> /dev/null || echo 0; }
# Byte offset of the first non-zero byte of FILE from byte SKIP on.
first_sound() {
  tail -c +$(($2 + 1)) "$1" | od -An -v -tu1 -w1 | awk '$1 != 0 { print NR - 1; found = 1; exit } END { if (!found) print -1 }'
}
sounding_bytes() { tail -c +$(($2 + 1)) "$1" | tr -d '\000' | wc -c; }

# The source: two seconds of noise, 16-bit stereo 44100 Hz.
wav="$work/noise.wav"
"$mkwav" noise "$wav" 2 10000 || fail "pelisto-mkwav failed"
[ "$(head -c 40 "$wav" | tail -c 4)" = data ] || fail "the generated file has no 44-byte header"
data_size=$(($(file_size "$wav") - 44))
raw="$work/played.raw"

cd "$work" || fail "no work folder"
# Its remembered folders, window place and state go to the work folder.
XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$raw" QT_QPA_PLATFORM=xcb "$pelisto" > "$work/pelisto.log" 2>&1 &
pid=$!
wid=
wait_for 30 find_window || fail "the main window did not appear"
eval "$(xdotool getwindowgeometry --shell "$wid")"
menu_height=$((HEIGHT - kClientHeight))
[ "$menu_height" -gt 0 ] || fail "unexpected window height $HEIGHT"

# ファイル → waveファイルを開く: a click on the menu title, the first item
# by the keyboard. Tried again if the dialog does not come.
for attempt in 1 2 3; do
  xdotool mousemove --sync $((X + 20)) $((Y + menu_height / 2)) click 1
  sleep 0.5
  xdotool key Down Return
  if wait_for 10 dialog_shown; then break; fi
  xdotool key Escape
  [ $attempt = 3 ] && fail "the file dialog did not open"
done

# The name typed into the dialog's name field once the dialog has the
# focus, then Return; typed afresh if the dialog stayed (on a loaded machine
# the first keys can arrive before the field has the focus).
for attempt in 1 2 3; do
  dialog=$(xdotool search --onlyvisible --name "^${kDialogTitle}\$" 2> /dev/null | head -n 1)
  [ -n "$dialog" ] && xdotool windowactivate --sync "$dialog" 2> /dev/null
  sleep 0.5
  xdotool key ctrl+a BackSpace
  xdotool type --delay 20 "$wav"
  sleep 0.3
  xdotool key Return
  if wait_for 10 dialog_gone; then break; fi
  [ $attempt = 3 ] && fail "the file dialog did not accept $wav"
done
sleep 0.5
screenshot e2e_opened.png

click_client() { xdotool mousemove --sync $((X + $1)) $((Y + menu_height + $2)) click 1; }

# The play has ended and the device is given back once the driver's file
# holds at least $1 bytes and has stopped growing for two seconds.
played_and_closed() {
  local now
  now=$(file_size "$raw")
  if [ "$now" -ge "$1" ] && [ "$now" = "${last_size:-}" ]; then
    stable=$((stable + 1))
  else
    stable=0
  fi
  last_size=$now
  [ $stable -ge 10 ]
}
size_above() { [ "$(file_size "$raw")" -gt "$1" ]; }
# 元曲再生, then waits for the end of a play of $1 bytes; screenshot $2 at
# about half way. The driver starts its file afresh each time the device
# opens: the bytes of this play are moved to $3.
play_and_wait() {
  click_client $((kButton1X + 40)) $((kButton1Y + 12))
  wait_for 30 size_above $(($1 / 2)) && screenshot "$2"
  stable=0
  last_size=
  wait_for 60 played_and_closed "$1" ||
    fail "the play did not end (driver file: $(file_size "$raw") bytes)"
  mv "$raw" "$3"
}

# The whole file from second 0; the view follows the play to its last second.
play_and_wait "$data_size" e2e_playing.png "$work/first.raw"
screenshot e2e_played.png
# Back one second with HSCROLL1's left arrow, and played again from there.
click_client $((kScrollX + 8)) $((kScrollY + 8))
play_and_wait $((data_size - kBytesPerSecond)) e2e_playing_again.png "$work/second.raw"

# The window closed as by its close box; the program ends by itself.
"$xclose" "$wid" || fail "xclose failed"
exited() { ! kill -0 "$pid" 2> /dev/null; }
wait_for 20 exited || fail "the program did not end after its window was closed"
wait "$pid"
status=$?
pid=
[ $status = 0 ] || fail "the program ended with status $status"

# Finds the file's data from byte $2 of it in the driver's output $1: both
# aligned on their first sound (the source may itself start with silent
# frames), then compared exactly; nothing else in $1 may sound.
find_played() {
  local played=$1 wav_skip=$((44 + $2)) size=$((data_size - $2)) raw_first wav_first offset
  raw_first=$(first_sound "$played" 0)
  wav_first=$(first_sound "$wav" "$wav_skip")
  [ "$raw_first" -ge 0 ] || fail "the driver wrote only silence"
  offset=$(((raw_first / 4 - wav_first / 4) * 4))
  [ "$offset" -ge 0 ] || fail "the driver's output starts inside the data"
  cmp -n "$size" -i "$offset:$wav_skip" "$played" "$wav" ||
    fail "the played bytes differ from the file's data from byte $2"
  [ "$(sounding_bytes "$played" 0)" = "$(sounding_bytes "$wav" "$wav_skip")" ] ||
    fail "the driver's output holds sound besides the file's data from byte $2"
  echo "ok: $size bytes of data from byte $2 at offset $offset of $(file_size "$played") played bytes"
}
find_played "$work/first.raw" 0
find_played "$work/second.raw" "$kBytesPerSecond"
