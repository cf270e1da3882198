#!/usr/bin/env bash
# CPU use of the desktop program, as CPU seconds per wall second: idle for
# 10 seconds, while a 10-second file plays and is tracked, and idle for 10
# seconds after that play.
#
# The program runs under Xvfb (through xvfb-run) with SDL's dummy sound
# driver and is driven like a user would: xdotool opens the file through the
# "ファイル" menu and the file dialog, then clicks "元曲再生". CPU time is
# utime + stime of /proc/PID/stat (every thread, in clock ticks). The
# baseline of the same run is a shell loop spinning on one core for the
# same method of measurement (it should read 1.00); the X server's own CPU
# use over the same intervals is printed beside the program's.
#
#   bench/desktop_cpu_bench.sh [BUILD_DIR]     (default: build; a Release build)
#
# Exit status 0 when every figure is within its limit, 2 when not,
# 1 when the run itself failed.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done
for exe in pelisto pelisto-mkwav; do
  [[ -x $build/$exe ]] || { echo "no $build/$exe: build the desktop program first" >&2; exit 1; }
done

if [[ -z ${DESKTOP_CPU_BENCH_DISPLAY:-} ]]; then
  exec env DESKTOP_CPU_BENCH_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" \
    "$0" "$build"
fi

readonly kIdleLimit=0.01 kPlayLimit=0.10
readonly kClientHeight=586           # the client area below the menu bar (the strip of the whole file on)
readonly kButton1X=144 kButton1Y=244 # the centre of "元曲再生" in the client area
tick=$(getconf CLK_TCK)

work=$(mktemp -d /tmp/pelisto-cpu-bench.XXXXXX)
program=""
spinner=""
cleanup() {
  local status=$?
  # The figures are taken: no need for a clean exit.
  if [[ -n $program ]]; then kill -KILL "$program" 2>/dev/null; wait "$program" 2>/dev/null || true; fi
  if [[ -n $spinner ]]; then kill "$spinner" 2>/dev/null; wait "$spinner" 2>/dev/null || true; fi
  if ((status == 1)) && [[ -s $work/program.log ]]; then sed 's/^/pelisto: /' "$work/program.log" >&2; fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

fail() {
  echo "desktop_cpu_bench: $*" >&2
  exit 1
}

now() { date +%s.%N; }

# CPU ticks (user + system, all threads, exited ones included) of pid.
cpu_ticks() {
  local stat
  stat=$(<"/proc/$1/stat") || return 1
  stat=${stat##*) }  # the fields after the command name
  local -a f
  read -r -a f <<<"$stat"
  echo $((f[11] + f[12]))  # fields 14 and 15 of the whole line
}

# a / b with four decimals.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", (b > 0 ? a / b : 0) }'; }
seconds() { awk -v t="$1" -v hz="$tick" 'BEGIN { printf "%.2f", t / hz }'; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }
within() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'; }

# Whether the program has its sound thread (it exists only while a file
# is open in the sound device).
has_sound_thread() {
  grep -qs '^SDLAudio' /proc/"$program"/task/*/comm
}

xserver=$(ps -o pid=,comm= --ppid "$PPID" | awk '$2 == "Xvfb" { print $1; exit }')
[[ -n $xserver ]] || fail "no Xvfb beside this script"

# The baseline: one core kept busy, measured the same way.
(while :; do :; done) &
spinner=$!
s0=$(cpu_ticks "$spinner"); w0=$(now)
sleep 3
s1=$(cpu_ticks "$spinner"); w1=$(now)
kill "$spinner"; wait "$spinner" 2>/dev/null || true; spinner=""
spin_cpu=$((s1 - s0)); spin_wall=$(elapsed "$w0" "$w1")
spin_ratio=$(ratio "$(seconds $spin_cpu)" "$spin_wall")

"$build/pelisto-mkwav" sine "$work/ten.wav" 10 8000 >/dev/null || fail "pelisto-mkwav failed"

cd "$work"  # the file dialog opens in the current folder
XDG_STATE_HOME="$work/state" SDL_AUDIODRIVER=dummy "$build/pelisto" >"$work/program.log" 2>&1 &
program=$!

window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --pid "$program" --name '^Pelisto$' 2>/dev/null | head -n 1) || true
  [[ -n $window ]] && break
  sleep 0.1
done
[[ -n $window ]] || fail "the main window did not appear"
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
menu_height=$((HEIGHT - kClientHeight))
sleep 2  # start-up painting

# Idle for 10 seconds.
i0=$(cpu_ticks "$program"); x0=$(cpu_ticks "$xserver"); w0=$(now)
sleep 10
i1=$(cpu_ticks "$program"); x1=$(cpu_ticks "$xserver"); w1=$(now)
idle_cpu=$((i1 - i0)); idle_x=$((x1 - x0)); idle_wall=$(elapsed "$w0" "$w1")

# Open the file: the "ファイル" menu, its first item, the dialog.
xdotool mousemove $((X + 20)) $((Y + menu_height / 2)) click 1
sleep 0.5
xdotool key Down Return
dialog=""
for _ in $(seq 50); do
  dialog=$(xdotool search --onlyvisible --pid "$program" --name 'waveファイルを開く' 2>/dev/null | head -n 1) || true
  [[ -n $dialog ]] && break
  sleep 0.1
done
[[ -n $dialog ]] || fail "the file dialog did not appear"
sleep 0.5
# With no window manager the keyboard goes to the window under the pointer.
eval "$(xdotool getwindowgeometry --shell --prefix DIALOG_ "$dialog")"
xdotool mousemove $((DIALOG_X + DIALOG_WIDTH / 2)) $((DIALOG_Y + DIALOG_HEIGHT / 2))
xdotool type --delay 20 "ten.wav"
xdotool key Return
for _ in $(seq 50); do
  xdotool search --onlyvisible --pid "$program" --name 'waveファイルを開く' >/dev/null 2>&1 || break
  sleep 0.1
done
sleep 1  # the waveform of second 0

# Play and track: from the click until the sound device is given back.
p0=$(cpu_ticks "$program"); x0=$(cpu_ticks "$xserver"); w0=$(now)
xdotool mousemove $((X + kButton1X)) $((Y + menu_height + kButton1Y)) click 1
started=0
for _ in $(seq 150); do  # at most 15 s
  sleep 0.1
  if has_sound_thread; then
    started=1
  elif ((started)); then
    break
  fi
done
p1=$(cpu_ticks "$program"); x1=$(cpu_ticks "$xserver"); w1=$(now)
((started)) || fail "the play did not start"
has_sound_thread && fail "the play did not end within 15 s"
play_cpu=$((p1 - p0)); play_x=$((x1 - x0)); play_wall=$(elapsed "$w0" "$w1")

# Idle again for 10 seconds, the file shown and the sound device given back.
a0=$(cpu_ticks "$program"); x0=$(cpu_ticks "$xserver"); w0=$(now)
sleep 10
a1=$(cpu_ticks "$program"); x1=$(cpu_ticks "$xserver"); w1=$(now)
after_cpu=$((a1 - a0)); after_x=$((x1 - x0)); after_wall=$(elapsed "$w0" "$w1")

idle_ratio=$(ratio "$(seconds $idle_cpu)" "$idle_wall")
play_ratio=$(ratio "$(seconds $play_cpu)" "$play_wall")
after_ratio=$(ratio "$(seconds $after_cpu)" "$after_wall")
echo "desktop program under Xvfb (xvfb-run, driven by xdotool), SDL_AUDIODRIVER=dummy"
echo "baseline, one core spinning: $(seconds $spin_cpu) CPU s / $spin_wall wall s = $spin_ratio"
printf 'idle, no file:        %s CPU s / %s wall s = %s (limit %s; %.4f of the baseline core; X server %s)\n' \
  "$(seconds $idle_cpu)" "$idle_wall" "$idle_ratio" "$kIdleLimit" \
  "$(ratio "$idle_ratio" "$spin_ratio")" "$(ratio "$(seconds $idle_x)" "$idle_wall")"
printf 'playing and tracked:  %s CPU s / %s wall s = %s (limit %s; %.4f of the baseline core; X server %s)\n' \
  "$(seconds $play_cpu)" "$play_wall" "$play_ratio" "$kPlayLimit" \
  "$(ratio "$play_ratio" "$spin_ratio")" "$(ratio "$(seconds $play_x)" "$play_wall")"
printf 'idle, after the play: %s CPU s / %s wall s = %s (limit %s; %.4f of the baseline core; X server %s)\n' \
  "$(seconds $after_cpu)" "$after_wall" "$after_ratio" "$kIdleLimit" \
  "$(ratio "$after_ratio" "$spin_ratio")" "$(ratio "$(seconds $after_x)" "$after_wall")"
within "$idle_ratio" "$kIdleLimit" && within "$after_ratio" "$kIdleLimit" && within "$play_ratio" "$kPlayLimit" && exit 0
exit 2
