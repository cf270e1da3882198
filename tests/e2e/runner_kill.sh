#!/usr/bin/env bash
# The scenario runner killed between two commands: RUNNER MKWAV
#
# A runner reads its commands from a pipe as they come, marks two entries
# and is killed (SIGKILL) once its copy of the unsaved list is written; the
# next runner, answering yes at start, has the same list back, unsaved, and
# leaves no copy behind when it ends normally.
set -u
if [ $# -ne 2 ]; then
  echo "usage: runner_kill.sh RUNNER MKWAV" >&2
  exit 2
fi
runner=$(realpath "$1")
mkwav=$(realpath "$2")
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -9 "$pid" 2> /dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  for f in "$work"/*.out; do echo "--- $f"; cat "$f"; done
  exit 1
}
wait_for() {  # SECONDS COMMAND…: polls every 0.1 s
  local tries=$(($1 * 10))
  shift
  until "$@"; do
    tries=$((tries - 1))
    [ $tries -gt 0 ] || return 1
    sleep 0.1
  done
}
cd "$work" || exit 2
export XDG_STATE_HOME="$work/state" XDG_CACHE_HOME="$work/cache"
"$mkwav" noise n.wav 3 20000 > /dev/null || fail "pelisto-mkwav failed"

mkfifo commands
"$runner" < commands > first.out 2>&1 &
pid=$!
exec 3> commands
printf '%s\n' "answer open n.wav" "menu OpenWaveFile" \
  "click BUTTON3" "mouse PICTURE1 down 1 60 40" "click BUTTON4" "mouse PICTURE1 down 1 300 40" \
  "click BUTTON3" "scroll 1" "mouse PICTURE1 down 1 100 40" "click BUTTON4" "mouse PICTURE1 down 1 500 40" \
  "advance 1000" "print list" >&3
copy="$work/state/pelisto/RECOVERY-$pid.PRJ"
listed() { grep -q '^line 1: ' first.out; }
wait_for 20 listed || fail "the first runner did not run its commands as they came"
[ -f "$copy" ] || fail "no copy of the unsaved list: $copy"
kill -9 "$pid"
wait "$pid" 2> /dev/null
pid=
exec 3>&-
cp "$copy" killed.prj

printf '%s\n' "answer yes" "print title" "print list" | "$runner" > second.out 2>&1 ||
  fail "the second runner failed"
[ "$(head -n 1 second.out)" = "question: 前回保存されなかった編集リストがあります。復元しますか？" ] ||
  fail "the list was not offered"
grep -qx 'title: \*n.wav - Pelisto' second.out || fail "the restored list is not marked unsaved"
diff <(grep '^line' first.out) <(grep '^line' second.out) ||
  fail "the restored list differs"
[ -z "$(ls -A "$work/state/pelisto")" ] || fail "copies left: $(ls "$work/state/pelisto")"
echo "ok: $(grep -c '^line' second.out) lines restored after kill -9"
