#!/usr/bin/env bash
# Prints which window files include which (one "A -> B" line per unit, a unit
# being a .h/.cpp pair of app/, mainwindow/, gui/, itemdb/, export/, about/, stats/ or history/), then checks
# with tsort that they include one another in no circle, and that the layers hold:
# gui/ (what every window uses) includes no window, and only app/ includes app/
# (the wiring). Then checks that the core's includes point one way, from top to
# bottom: options/ over export/, listing/ and merge/ (side by side, none including
# another) over storage/ over model/. Exit 1 on a circle or a broken layer.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
edges=$(
  for file in app/*.cpp app/*.h mainwindow/*.cpp mainwindow/*.h gui/*.cpp gui/*.h itemdb/*.cpp itemdb/*.h export/[A-Z]*.cpp export/[A-Z]*.h about/*.cpp about/*.h stats/*.cpp stats/*.h history/*.cpp history/*.h; do
    unit="${file%.*}"
    grep -o '^#include "\(app\|mainwindow\|gui\|itemdb\|export\|about\|stats\|history\)/[A-Za-z_]*\.h"' "$file" | sed 's/^#include "\(.*\)\.h"/\1/' |
      while read -r target; do if [[ "$target" != "$unit" ]]; then echo "$unit -> $target"; fi; done || true
  done | sort -u
)
echo "$edges"
if ! echo "$edges" | awk '{print $1, $3}' | tsort >/dev/null 2>/tmp/include-graph.$$; then
  cat /tmp/include-graph.$$ >&2
  rm -f /tmp/include-graph.$$
  echo "include-graph: the window files include one another in a circle" >&2
  exit 1
fi
rm -f /tmp/include-graph.$$
upward=$(echo "$edges" | awk '($1 ~ /^gui\// && $3 !~ /^gui\//) || ($1 !~ /^app\// && $3 ~ /^app\//)')
if [[ -n "$upward" ]]; then
  echo "$upward" >&2
  echo "include-graph: a shared helper includes a window, or a window includes the wiring" >&2
  exit 1
fi

# The core's layers, bottom first; folders of one rank do not include each other.
core_rank() {
  case "$1" in
    model) echo 0 ;; storage) echo 1 ;; listing | export | merge) echo 2 ;; options) echo 3 ;; *) echo -1 ;;
  esac
}
core_upward=$(
  for file in model/*.cpp model/*.h storage/*.cpp storage/*.h listing/*.cpp listing/*.h \
              export/[a-z]*.cpp export/[a-z]*.h merge/*.cpp merge/*.h options/*.cpp options/*.h; do
    folder="${file%%/*}"
    rank=$(core_rank "$folder")
    grep -o '^#include "\(model\|storage\|listing\|export\|options\)/[a-z_]*\.h"' "$file" | sed 's/^#include "\(.*\)"/\1/' |
      while read -r target; do
        target_folder="${target%%/*}"
        target_rank=$(core_rank "$target_folder")
        if ((target_rank > rank)) || { ((target_rank == rank)) && [[ "$target_folder" != "$folder" ]]; }; then
          echo "$file -> $target"
        fi
      done || true
  done
)
if [[ -n "$core_upward" ]]; then
  echo "$core_upward" >&2
  echo "include-graph: a core file includes one of a layer above it (model < storage < listing, export, merge < options)" >&2
  exit 1
fi
echo "include-graph: no circle, layers kept"
