#!/usr/bin/env bash
# Prints which folder of SRC includes which, as FROM -> TO: N lines (the
# number of quoted includes), then whether the folders include each other
# round in a cycle, directly or through others. A folder is the directory
# of a file, so a subfolder (system/mci) stands apart from its parent.
# Exits 1 when there is a cycle.
#
#   folder_graph.sh SRC
set -euo pipefail
src=${1:?usage: folder_graph.sh SRC}

edges=$(
  find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort | while IFS= read -r f; do
    rel=${f#"$src"/}
    from=${rel%/*}
    sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$f" |
      while IFS= read -r target; do
        to=${target%/*}
        # an include of a name beside the file, or of another file of its folder
        [ "$to" = "$target" ] || [ "$to" = "$from" ] && continue
        [ -d "$src/$to" ] || continue
        echo "$from $to"
      done
  done | sort | uniq -c | awk '{ print $2 " -> " $3 ": " $1 }'
)
echo "$edges"

# Folders whose includes all lead to folders already removed are removed,
# round by round; those left lie on a cycle or lead into one.
left=$(echo "$edges" | tr -d ':' | awk '
  { out[$1] = out[$1] " " $3; seen[$1]; seen[$3] }
  END {
    do {
      changed = 0
      for (f in seen) {
        if (f in gone) continue
        n = split(out[f], to, " "); open = 0
        for (i = 1; i <= n; i++) if (!(to[i] in gone)) open = 1
        if (!open) { gone[f]; changed = 1 }
      }
    } while (changed)
    for (f in seen) if (!(f in gone)) print f
  }' | sort | tr '\n' ' ')
if [ -n "$left" ]; then
  echo "cycle among or behind: $left"
  exit 1
fi
echo "no cycle"
