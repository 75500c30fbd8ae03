#!/usr/bin/env bash
# Takes docs/screenshots/export-dialog.png and docs/screenshots/export-page.png:
# the real kistora, started under Xvfb in a temporary folder holding the sample
# characters and items and an options file with a few export choices, shows
# "Exporter..." in its wide form ("Plus d'options >>"); OK then writes the HTML
# trading list, which headless Chromium renders.
# Usage: scripts/screenshot-export.sh [DIALOG.png [PAGE.png]]
# KISTORA_BUILD_DIR may name an already configured build folder to use.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# shellcheck source=x11-windows.sh
source "$root/scripts/x11-windows.sh"

if [[ "${1:-}" == --inside-xvfb ]]; then
  # Second stage, run by xvfb-run: DISPLAY is the virtual screen.
  work="$2" dialog_out="$3"
  unset QT_QPA_PLATFORM  # the X11 platform, not the offscreen one of the tests
  # French dates in the page when the French locale could be compiled below.
  if [[ -d "$work/locale/fr_FR.UTF-8" ]]; then export LOCPATH="$work/locale" LC_ALL=fr_FR.UTF-8; fi
  "$work/kistora" >"$work/kistora.log" 2>&1 &
  pid=$!
  trap 'kill "$pid" 2>/dev/null || true' EXIT
  if ! wid="$(wait_for_window '^Kistora$')"; then
    echo "The main window did not appear; the program said:" >&2
    cat "$work/kistora.log" >&2
    exit 1
  fi
  sleep 1
  # A click in the main window gives it the keyboard; Ctrl+E, the shortcut of
  # "Exporter...", shows the dialog.
  xdotool mousemove --window "$wid" 300 200 click 1
  sleep 0.5
  xdotool key ctrl+e
  if ! dwid="$(wait_for_window '^ExportWin$')"; then
    echo "The export dialog did not appear; the program said:" >&2
    cat "$work/kistora.log" >&2
    exit 1
  fi
  sleep 0.5
  # "Plus d'options >>" (264, 240, 99 x 25), then OK (8, 240, 75 x 25), in the dialog.
  xdotool mousemove --window "$dwid" 313 252 click 1
  sleep 1
  import -window "$dwid" "$dialog_out"
  xdotool mousemove --window "$dwid" 45 252 click 1
  for _ in $(seq 50); do
    [[ -s "$work/export.html" ]] && break
    sleep 0.1
  done
  exit 0
fi

dialog_out="$(realpath -m "${1:-$root/docs/screenshots/export-dialog.png}")"
page_out="$(realpath -m "${2:-$root/docs/screenshots/export-page.png}")"
build="${KISTORA_BUILD_DIR:-$root/build/screenshot}"
"$root/scripts/deps.sh" test  # Xvfb, xdotool, ImageMagick and Chromium among the rest
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKISTORA_GUI=ON -DKISTORA_TESTS=ON >/dev/null
fi
cmake --build "$build" --target kistora kistora_sample_data -j2

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The data files live beside the executable.
cp "$build/app/kistora" "$work/"
"$build/tests/gui/support/kistora_sample_data" "$work"
# A few export choices: prices shown, items of 40 or more highlighted, a
# signature, and no shell "open" at the end (the page is rendered below).
printf '%s\r\n' \
  "expfilename         $work/export.html" \
  "expshowprice        true" \
  "expgooditemcol      #FFD9D9" \
  "expgooditemprice    40" \
  "expsign             Kistora" \
  "expshowresult       false" \
  "expshowchars        allitems" >"$work/kistora.ini"

# The French locale, compiled into the scratch folder (nothing installed).
mkdir -p "$work/locale"
localedef -i fr_FR -f UTF-8 "$work/locale/fr_FR.UTF-8" >/dev/null 2>&1 || rm -rf "$work/locale/fr_FR.UTF-8"

mkdir -p "$(dirname "$dialog_out")" "$(dirname "$page_out")"
xvfb-run -a -s "-screen 0 1024x768x24" "$root/scripts/screenshot-export.sh" --inside-xvfb "$work" "$dialog_out"
[[ -s "$work/export.html" ]] || { echo "The export wrote no page; the program said:" >&2; cat "$work/kistora.log" >&2; exit 1; }

profile="$(mktemp -d)"
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$profile" --screenshot="$page_out" --window-size=1000,800 \
  "file://$work/export.html" >/dev/null 2>&1
rm -rf "$profile"
[[ -s "$page_out" ]] || { echo "Chromium wrote no screenshot" >&2; exit 1; }
echo "Wrote $dialog_out"
echo "Wrote $page_out"
