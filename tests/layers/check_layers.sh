#!/usr/bin/env bash
# Checks the include rules of the layers under SRC (a source tree laid out
# as src/). The folders stand in this order, from the bottom up; a folder
# may include itself and the folders of lower levels, never one above it
# nor one beside it on its own level:
#
#   1  platform   the narrow interfaces and their portable helpers
#   2  system     the real implementations of the interfaces
#   2  model      the state, the context and the edit list
#   3  view       the waveform, the markers and the graph cache
#   4  wave       wave files: checks, opening, writing, converting
#   5  playback   playing and following a play
#   6  editlist   marking and the list commands
#   7  project    project files and the copy of an unsaved list
#   8  shell      events, start-up, the main loop, joint commands
#   9  qt         the desktop program (Qt and SDL)
#   9  headless   the scripted backend of the tests and the runner
#
# Besides: only qt includes Qt or SDL headers, every file lies in one of
# these folders, and every include of the project's own names one of them.
# The rules hold for includes in quotes and in angle brackets alike (an
# angle include that starts with a layer's folder is the project's own),
# for every file under SRC whatever its extension (.h, .hpp, .inl, .ipp,
# …), and no include path may step through "..", which would hide the
# folder it reaches.
# Prints each offending line as FILE:LINE: TEXT (why) and exits 1 when
# there is one.
#
#   check_layers.sh SRC
#   check_layers.sh --self-test   (a fault of each kind is caught)
set -euo pipefail

declare -A level=([platform]=1 [system]=2 [model]=2 [view]=3 [wave]=4 [playback]=5
                  [editlist]=6 [project]=7 [shell]=8 [qt]=9 [headless]=9)

# Why a file of folder `from` may not include `target` (a quoted include),
# or nothing when it may.
fault() {
  local from=$1 target=$2 to=${2%%/*}
  [ "$to" = "$target" ] && { echo "no folder named"; return; }
  [ -n "${level[$to]:-}" ] || { echo "unknown folder $to"; return; }
  [ "$to" = "$from" ] && return
  if [ "${level[$to]}" -gt "${level[$from]}" ]; then
    echo "up: $from includes $to"
  elif [ "${level[$to]}" -eq "${level[$from]}" ]; then
    echo "sideways: $from includes $to"
  fi
}

check() {
  local src=$1 status=0 f rel from n text target why
  while IFS= read -r f; do
    rel=${f#"$src"/}
    from=${rel%%/*}
    if [ "$from" = "$rel" ] || [ -z "${level[$from]:-}" ]; then
      echo "$f: a file outside the layers' folders"
      status=1
      continue
    fi
    while IFS=: read -r n text; do
      if [[ $text =~ \#[[:space:]]*include[[:space:]]*[\"\<]([^\"\>]*)[\"\>] ]] &&
         [[ /${BASH_REMATCH[1]}/ == */../* ]]; then
        why="a path through .."
      elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
        target=${BASH_REMATCH[1]}
        why=$(fault "$from" "$target")
      elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\<([^/\>]+)/([^\>]*)\> ]] &&
           [ -n "${level[${BASH_REMATCH[1]}]:-}" ]; then
        target=${BASH_REMATCH[1]}/${BASH_REMATCH[2]}
        why=$(fault "$from" "$target")
      elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\<(Q[A-Za-z]|SDL) ]] && [ "$from" != qt ]; then
        why="Qt or SDL outside qt"
      else
        continue
      fi
      [ -z "$why" ] && continue
      echo "$f:$n: $text ($why)"
      status=1
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$f" || true)
  done < <(find "$src" -type f | sort)
  return $status
}

self_test() {
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  local folder
  for folder in "${!level[@]}"; do mkdir -p "$tmp/$folder"; done
  mkdir -p "$tmp/system/mci"
  printf '#include "platform/ui.h"\n#include <vector>\n' >"$tmp/model/good.cpp"
  printf '#include "model/good.h"\n#include "view/markers.h"\n' >"$tmp/wave/good.cpp"
  printf '#include "system/mci/interpreter.h"\n#include "platform/mci.h"\n' >"$tmp/system/mci/good.cpp"
  printf '#include <QWidget>\n#include <SDL.h>\n#include "shell/events.h"\n' >"$tmp/qt/backend.cpp"
  printf '#include "shell/main_loop.h"\n#include "system/mci/interpreter.h"\n' >"$tmp/headless/fake.cpp"
  printf '#include <platform/ui.h>\n#include <sys/stat.h>\n#include "model/good.inl"\n' >"$tmp/view/good.hpp"
  printf 'a resource, no include\n' >"$tmp/qt/icons.qrc"
  check "$tmp" >/dev/null || { echo "layers: a clean tree was refused" >&2; return 1; }
  local bad
  for bad in 'model/a.cpp:#include <QString>' 'view/b.h:#include <SDL.h>' \
             'headless/c.cpp:  #  include <SDL2/SDL_audio.h>' 'shell/d.cpp:#include <QtCore/QObject>' \
             'platform/e.h:#include "model/context.h"' 'view/f.cpp:#include "editlist/marking.h"' \
             'model/g.h:#include "shell/events.h"' 'shell/h.cpp:#include "headless/headless_ui.h"' \
             'model/i.cpp:#include "system/thread_worker.h"' 'qt/j.cpp:#include "headless/fake.h"' \
             'system/mci/k.cpp:#include "model/numbers.h"' 'wave/l.cpp:#include "app/handlers.h"' \
             'wave/m.cpp:#include "handlers.h"' 'app/n.cpp:#include "platform/ui.h"' \
             'o.cpp:#include "platform/ui.h"' 'model/p.cpp:#include <shell/events.h>' \
             'view/q.cpp:#include <editlist/marking.h>' 'view/r.cpp:#include "view/../shell/events.h"' \
             'wave/s.cpp:#include <view/../playback/session.h>' 'view/t.cpp:#include "../shell/events.h"' \
             'model/u.hpp:#include "shell/events.h"' 'model/v.inl:#include "shell/events.h"' \
             'model/w.hh:#include "view/markers.h"' 'model/x.hxx:#include "view/markers.h"' \
             'model/y.ipp:#include "view/markers.h"' 'model/z.tcc:#include <QString>' \
             'model/za.cc:#include "wave/open_wave.h"'; do
    local file=${bad%%:*} line=${bad#*:}
    mkdir -p "$(dirname "$tmp/$file")"
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
