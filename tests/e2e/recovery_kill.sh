#!/usr/bin/env bash
# The real program killed while its edit list is unsaved:
#   recovery_kill.sh PELISTO MKWAV XCLOSE ARTIFACTS
# On a virtual X display the program opens a WAV file named on its command
# line, two entries are marked with the mouse, and once the copy of the list
# is in the state folder the program is killed (SIGKILL). Started again from
# another folder and answered yes, it has the list back: the title marks it
# unsaved and its own copy holds the killed program's bytes. Closed without
# saving, it leaves no copy. Screenshots go to ARTIFACTS. Exits 77 (skipped)
# when xvfb-run, xauth or xdotool is missing.
set -u
if [ "${PELISTO_E2E_INNER:-}" != 1 ]; then
  # -noreset: by default Xvfb resets when its last client leaves (a killed
  # program, an xdotool call) and drops a client connecting meanwhile.
  for tool in xvfb-run xauth xdotool; do
    command -v "$tool" > /dev/null || { echo "skipped: $tool not found"; exit 77; }
  done
  PELISTO_E2E_INNER=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
pelisto=$(realpath "$1") mkwav=$(realpath "$2") xclose=$(realpath "$3") artifacts=$4
mkdir -p "$artifacts"
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -9 "$pid" 2> /dev/null; rm -rf "$work"' EXIT
screenshot() { command -v import > /dev/null && import -window root "$artifacts/$1"; }
fail() {
  echo "FAIL: $*"
  cat "$work/pelisto.log"
  screenshot e2e_recovery_failed.png
  exit 1
}
wait_for() {  # SECONDS COMMAND…: polls every 0.2 s
  local tries=$(($1 * 5))
  shift
  until "$@"; do
    tries=$((tries - 1)) && [ $tries -gt 0 ] || return 1
    sleep 0.2
  done
}
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb
start() { (cd "$1" && exec "$pelisto" "${@:2}") >> "$work/pelisto.log" 2>&1 & pid=$!; }
titled() { wid=$(xdotool search --onlyvisible --pid "$pid" --name "$1" 2> /dev/null | head -n 1) && [ -n "$wid" ]; }
boxed() { box=$(xdotool search --onlyvisible --name '^Pelisto V0.1$' 2> /dev/null | head -n 1) && [ -n "$box" ]; }
answer() {  # KEY SCREENSHOT: the question box answered by its key
  wait_for 20 boxed || fail "no question came"
  sleep 0.5 && screenshot "$2"
  xdotool windowfocus --sync "$box" key "$1"
}
# The client area is 586 high with the strip of the whole file, on at a first start.
click() { xdotool mousemove --sync $((X + $1)) $((Y + HEIGHT - 586 + $2)) click 1 && sleep 0.3; }

mkdir "$work/other"
"$mkwav" noise "$work/n.wav" 5 12000 > /dev/null || fail "pelisto-mkwav failed"
start "$work" n.wav
wait_for 30 titled '^n.wav - Pelisto$' || fail "the main window did not appear"
eval "$(xdotool getwindowgeometry --shell "$wid")"
for x in 60 350; do  # 開始位置の指定, the picture, 終了位置の決定, the picture
  click 364 244 && click $((104 + x)) 112 && click 492 244 && click $((304 + x)) 112
done
wait_for 10 titled '^\*n.wav - Pelisto$' || fail "the marked list is not marked unsaved"
sleep 1.5  # the last change is copied within a second
copy="$work/state/pelisto/RECOVERY-$pid.PRJ"
# The wave file's path, then each entry's source: in the project's text,
# then again in UTF-8.
[ "$(grep -a -o "$work/n.wav" "$copy" | wc -l)" = 6 ] || fail "the copy does not hold two entries"
screenshot e2e_recovery_marked.png
cp "$copy" "$work/killed.prj"
kill -9 "$pid"
wait "$pid" 2> /dev/null

start "$work/other"
answer Return e2e_recovery_question.png
wait_for 20 titled '^\*n.wav - Pelisto$' || fail "the list did not come back"
sleep 0.5 && screenshot e2e_recovery_restored.png
cmp "$work/killed.prj" "$work/state/pelisto/RECOVERY-$pid.PRJ" || fail "the restored list differs"
[ ! -e "$copy" ] || fail "the killed program's copy stayed"
"$xclose" "$wid" || fail "xclose failed"
answer n e2e_recovery_closing.png
wait "$pid"
status=$?
pid=
[ $status = 0 ] || fail "the program ended with status $status"
[ -z "$(ls -A "$work/state/pelisto")" ] || fail "copies left: $(ls "$work/state/pelisto")"
echo "ok: the list marked before kill -9 came back"
