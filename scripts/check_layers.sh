#!/usr/bin/env bash
# Checks that the source folders form layers: no folder includes a header of a folder that
# includes one of its own, directly or through others. An include names a header by its
# path from the source root ("compare/lines/progress.h"), so each one is an edge from the
# including file's folder to the header's folder.
#
# Usage: scripts/check_layers.sh [ROOT] [--edges]
#   ROOT     the source tree (default: the one holding this script)
#   --edges  print the folder edges ("folder uses folder") instead of checking
# Exit status 0 when there is no loop; 1, with the folders of each loop on stderr, when
# there is one.
set -euo pipefail

root=""
edges_only=false
for arg in "$@"; do
  case $arg in
    --edges) edges_only=true ;;
    *) root=$arg ;;
  esac
done
[ -n "$root" ] || root="$(dirname "$0")/.."
cd "$root"

edges=$(
  find . \( -name 'build*' -o -name '.git' \) -prune -o \
    -type f \( -name '*.h' -o -name '*.cpp' \) -print |
    sed 's#^\./##' | sort |
    while IFS= read -r file; do
      folder=$(dirname "$file")
      sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$file" |
        while IFS= read -r header; do
          [ -f "$header" ] || continue
          used=$(dirname "$header")
          [ "$used" = "$folder" ] || echo "$folder $used"
        done
    done | sort -u
)

if $edges_only; then
  [ -z "$edges" ] || echo "$edges" | sed 's/ / uses /'
  exit 0
fi

# tsort orders the folders from users to the used ones and names every loop it meets.
if ! loops=$(echo "$edges" | tsort 2>&1 >/dev/null) || [ -n "$loops" ]; then
  echo "Folders that include each other:" >&2
  echo "$loops" | sed -n 's/^tsort: //p' | grep -v 'input contains a loop' >&2 || true
  exit 1
fi
echo "No folder includes a folder that includes it."
