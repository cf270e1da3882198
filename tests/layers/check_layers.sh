#!/usr/bin/env bash
# Checks the include rules of the layers under SRC (a source tree laid out
# as src/):
#   - the core (app, wave, view, playback, editlist, project and platform
#     outside the backends qt and headless) includes no Qt or SDL
#     header and nothing of headless;
#   - the platform interfaces (platform outside the two backends) include
#     nothing of app or the subsystems.
# Prints each offending line as FILE:LINE: TEXT and exits 1 when there is
# one.
#
#   check_layers.sh SRC
#   check_layers.sh --self-test   (the rules catch one fault of each kind)
set -euo pipefail

check() {
  local src=$1 status=0 core=() interfaces=() f
  while IFS= read -r f; do
    case ${f#"$src"/} in
      qt/* | headless/*) ;;
      platform/*) core+=("$f") interfaces+=("$f") ;;
      app/* | model/* | shell/* | system/* | wave/* | view/* | playback/* | editlist/* | project/*) core+=("$f") ;;
    esac
  done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
  local include='^[[:space:]]*#[[:space:]]*include[[:space:]]*'
  report() {  # pattern, files…
    local pattern=$1
    shift
    [ $# -eq 0 ] && return 0
    if grep -nHE "$include$pattern" "$@"; then status=1; fi
  }
  report '[<"](Q[A-Za-z]|SDL)' "${core[@]}"
  report '"headless/' "${core[@]}"
  report '"(app|model|shell|system|wave|view|playback|editlist|project)/' "${interfaces[@]}"
  return $status
}

self_test() {
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  mkdir -p "$tmp/app" "$tmp/view" "$tmp/qt" "$tmp/headless" "$tmp/platform/mci"
  printf '#include "platform/ui.h"\n#include <vector>\n' >"$tmp/app/good.cpp"
  printf '#include <QWidget>\n#include "model/forms.h"\n' >"$tmp/qt/backend.cpp"
  printf '#include "model/context.h"\n' >"$tmp/headless/fake.cpp"
  check "$tmp" >/dev/null || { echo "layers: a clean tree was refused" >&2; return 1; }
  local bad
  for bad in 'app/a.cpp:#include <QString>' 'view/b.h:#include <SDL.h>' \
             'view/c.cpp:  #  include <SDL2/SDL_audio.h>' 'app/d.cpp:#include <QtCore/QObject>' \
             'app/e.cpp:#include "headless/headless_ui.h"' \
             'platform/f.h:#include "model/forms.h"' 'platform/mci/g.cpp:#include "wave/wav_bytes.h"'; do
    local file=${bad%%:*} line=${bad#*:}
    printf '%s\n' "$line" >"$tmp/$file"
    if check "$tmp" >/dev/null; then
      echo "layers: not caught: $file: $line" >&2
      return 1
    fi
    rm "$tmp/$file"
  done
  echo "layers: every rule catches its fault"
}

case ${1:-} in
  --self-test) self_test ;;
  '' | -*) echo "usage: check_layers.sh SRC | --self-test" >&2; exit 2 ;;
  *) check "$1" ;;
esac
