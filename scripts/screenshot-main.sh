#!/usr/bin/env bash
# Takes docs/screenshots/main-window.png, item-window.png and stats-window.png:
# the real kistora, started under Xvfb in a temporary folder holding a few
# characters and items, with the first character selected so that its inventory
# is listed, then its item database window with a search typed, then the
# statistics of the items that window shows.
# Usage: scripts/screenshot-main.sh [OUTPUT.png [ITEMS-OUTPUT.png [STATS-OUTPUT.png]]]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# The id of the visible window whose title matches NAME-REGEX, waited for up to TENTHS tenths of a second.
# shellcheck source=x11-windows.sh
source "$root/scripts/x11-windows.sh"

if [[ "${1:-}" == --inside-xvfb ]]; then
  # Second stage, run by xvfb-run: DISPLAY is the virtual screen.
  work="$2" out="$3" items_out="$4" stats_out="$5"
  unset QT_QPA_PLATFORM  # the X11 platform, not the offscreen one of the tests
  "$work/kistora" >"$work/kistora.log" 2>&1 &
  pid=$!
  trap 'kill "$pid" 2>/dev/null || true' EXIT
  if ! wid="$(wait_for_window '^Kistora$')"; then
    echo "The main window did not appear; the program said:" >&2
    cat "$work/kistora.log" >&2
    exit 1
  fi
  sleep 1
  # A click in the character list, then Home: the first character is selected
  # and its inventory listed, whatever the height of the rows.
  xdotool mousemove --window "$wid" 60 60 click 1
  sleep 0.3
  xdotool key --window "$wid" Home
  sleep 1
  import -window "$wid" "$out"

  # "Gestionnaire d'objets", the third button of the bottom row.
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  xdotool mousemove --window "$wid" 230 $((HEIGHT - 17)) click 1
  if ! items="$(wait_for_window "^Gestionnaire d'objets$" 5)"; then
    echo "The item database window did not appear" >&2
    exit 1
  fi
  sleep 1
  xdotool key --window "$items" ctrl+f
  xdotool type --window "$items" --delay 50 "de"
  sleep 1
  import -window "$items" "$items_out"

  # "Statistiques" (Ctrl+I) from the item window: the statistics of what it shows.
  xdotool key --window "$items" ctrl+i
  if ! stats="$(wait_for_window '^Statistiques$' 5)"; then
    echo "The statistics window did not appear" >&2
    exit 1
  fi
  sleep 1
  import -window "$stats" "$stats_out"
  exit 0
fi

out="$(realpath -m "${1:-$root/docs/screenshots/main-window.png}")"
items_out="$(realpath -m "${2:-$root/docs/screenshots/item-window.png}")"
stats_out="$(realpath -m "${3:-$root/docs/screenshots/stats-window.png}")"
build="$root/build/screenshot"
"$root/scripts/deps.sh" test  # Xvfb, xdotool and ImageMagick among the rest
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DKISTORA_GUI=ON -DKISTORA_TESTS=ON >/dev/null
cmake --build "$build" --target kistora kistora_sample_data -j"$(nproc)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The data files live beside the executable.
cp "$build/app/kistora" "$work/"
"$build/tests/gui/support/kistora_sample_data" "$work"
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 1024x768x24" "$root/scripts/screenshot-main.sh" --inside-xvfb "$work" "$out" "$items_out" \
  "$stats_out"
echo "Wrote $out, $items_out and $stats_out"
