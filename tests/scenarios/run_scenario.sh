#!/usr/bin/env bash
# Runs one scenario: RUNNER MKWAV SCRIPT.scn
#
# Makes a fresh temporary folder, performs the script's set-up lines there,
# runs the scenario runner on the script in that folder and compares its
# transcript with SCRIPT.out beside the script. Prints the difference and
# fails when they differ.
#
# Set-up lines are comments to the runner, written "#! ACTION ARGS" at any
# place in the script and performed in order before it runs:
#   #! mkwav KIND FILE [ARGS]   pelisto-mkwav KIND FILE [ARGS]
#   #! sox ARGS…                sox ARGS (sound files of other formats)
#   #! mkdir DIR                a folder
#   #! text FILE WORDS…         a text file holding WORDS and a newline
#   #! bytes FILE TOKENS…       a binary file: each token is hex digits (two
#                               a byte) or 'TEXT' (those characters as they are)
#   #! bytes+ FILE TOKENS…      more bytes at the end of FILE
#   #! fifo FILE                a FIFO (named pipe)
#   #! symlink TARGET LINK      a symbolic link
#   #! chmod MODE FILE          permission bits
#   #! old FILE                 FILE's modification time set far in the past
#   #! held FILE                FILE's lock (flock) held by another process
#                               while the runner runs, as a running program
#                               holds the files it keeps for itself
#   #! dump FILE                after the run, the line "bytes FILE: HEX…" is
#                               added to the transcript (or "bytes FILE: missing")
#   #! files [DIR]              after the run, the line "files: NAMES" (every
#                               name in the folder, or in DIR, hidden ones
#                               included, sorted; the cache and state
#                               folders left out)
#   #! mode FILE                after the run, the line "mode FILE: OCTAL"
#   #! exit N                   the runner's expected exit status (default 0)
# The program's cache folder is .cache/pelisto in the scenario's folder
# (XDG_CACHE_HOME is .cache, made before the set-up lines run), its state
# folder .state/pelisto (XDG_STATE_HOME is .state, made too).
# PNG files the script writes into its folder are copied to
# $PELISTO_ARTIFACTS/scenarios/NAME/ when PELISTO_ARTIFACTS is set.
# With PELISTO_UPDATE_SCENARIOS=1 the transcript is written to SCRIPT.out
# instead of being compared (check the result before committing it).
set -u

if [ $# -ne 3 ]; then
  echo "usage: run_scenario.sh RUNNER MKWAV SCRIPT.scn" >&2
  exit 2
fi
runner=$(realpath "$1")
mkwav=$(realpath "$2")
script=$(realpath "$3")
expected="${script%.scn}.out"

work=$(mktemp -d "${TMPDIR:-/tmp}/pelisto-scenario.XXXXXX")
# The transcript is kept apart: a script may make its folder read-only.
results=$(mktemp -d "${TMPDIR:-/tmp}/pelisto-results.XXXXXX")
holders=()
trap 'for p in "${holders[@]}"; do kill "$p" 2>/dev/null; done; chmod -R u+w "$work"; rm -rf "$work" "$results"' EXIT
cd "$work" || exit 2
mkdir .cache .state || exit 2
export XDG_CACHE_HOME="$work/.cache" XDG_STATE_HOME="$work/.state"

# Writes the bytes of the tokens of a "#! bytes" line to standard output.
write_bytes() {
  local t i
  for t in "$@"; do
    if [[ $t == \'*\' ]]; then
      printf '%s' "${t:1:${#t}-2}"
    elif [[ $t =~ ^([0-9A-Fa-f][0-9A-Fa-f])+$ ]]; then
      for ((i = 0; i < ${#t}; i += 2)); do printf "\\x${t:i:2}"; done
    else
      echo "bad byte token: $t" >&2
      return 1
    fi
  done
}

want_exit=0
dumps=()
modes=()
list_files=()
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in
    '#!'*) ;;
    *) continue ;;
  esac
  read -r -a words <<< "${line#\#!}"
  [ ${#words[@]} -eq 0 ] && continue
  action=${words[0]}
  case "$action" in
    mkwav) "$mkwav" "${words[@]:1}" || { echo "set-up failed: $line" >&2; exit 2; } ;;
    sox) sox "${words[@]:1}" || { echo "set-up failed: $line" >&2; exit 2; } ;;
    mkdir) mkdir -p "${words[@]:1}" || exit 2 ;;
    text) printf '%s\n' "${words[*]:2}" > "${words[1]}" || exit 2 ;;
    bytes) write_bytes "${words[@]:2}" > "${words[1]}" || { echo "set-up failed: $line" >&2; exit 2; } ;;
    bytes+) write_bytes "${words[@]:2}" >> "${words[1]}" || { echo "set-up failed: $line" >&2; exit 2; } ;;
    fifo) mkfifo "${words[1]}" || exit 2 ;;
    symlink) ln -s "${words[1]}" "${words[2]}" || exit 2 ;;
    chmod) chmod "${words[1]}" "${words[2]}" || exit 2 ;;
    old) touch -d '2001-01-01 00:00:00' "${words[1]}" || exit 2 ;;
    held)
      # The holder names itself once it has the lock, then waits to be
      # killed; the lock goes with it.
      exec {ready}< <(flock "${words[1]}" sh -c 'echo $$; exec sleep 3600')
      read -r holder <&$ready || { echo "set-up failed: $line" >&2; exit 2; }
      holders+=("$holder") ;;
    dump) dumps+=("${words[1]}") ;;
    files) list_files+=("${words[1]:-.}") ;;
    mode) modes+=("${words[1]}") ;;
    exit) want_exit=${words[1]} ;;
    *) echo "unknown set-up line: $line" >&2; exit 2 ;;
  esac
done < "$script"

"$runner" "$script" > "$results/transcript.out" 2> "$results/stderr.txt"
status=$?
for f in "${dumps[@]}"; do
  if [ -f "$f" ]; then
    echo "bytes $f: $(od -An -v -tx1 "$f" | tr -s ' \n' '  ' | sed 's/^ //; s/ $//')"
  else
    echo "bytes $f: missing"
  fi >> "$results/transcript.out"
done

for f in "${modes[@]}"; do
  echo "mode $f: $(stat -c %a "$f" 2>/dev/null || echo missing)" >> "$results/transcript.out"
done
for d in "${list_files[@]}"; do
  prefix=files
  [ "$d" = . ] || prefix="files $d"
  names=$(LC_ALL=C ls -A "$d" | grep -v -e '^\.cache$' -e '^\.state$' | tr '\n' ' ' | sed 's/ $//')
  echo "$prefix:${names:+ $names}" >> "$results/transcript.out"
done

if [ "${PELISTO_UPDATE_SCENARIOS:-}" = 1 ]; then
  cp "$results/transcript.out" "$expected"
  echo "wrote $expected"
fi

# Pictures the script printed are kept as artifacts when a folder is given.
if [ -n "${PELISTO_ARTIFACTS:-}" ] && compgen -G "$work/*.png" > /dev/null; then
  keep="$PELISTO_ARTIFACTS/scenarios/$(basename "${script%.scn}")"
  mkdir -p "$keep" && cp "$work"/*.png "$keep"/
fi

failed=0
if [ ! -f "$expected" ]; then
  echo "no expected transcript $expected; this run printed:"
  cat "$results/transcript.out"
  failed=1
elif ! diff -u --label expected --label actual "$expected" "$results/transcript.out"; then
  failed=1
fi
if [ "$status" -ne "$want_exit" ]; then
  echo "the runner exited with $status, expected $want_exit"
  cat "$results/stderr.txt"
  failed=1
fi
exit $failed
