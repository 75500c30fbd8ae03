#!/usr/bin/env bash
# The real program on a desktop with a window manager (openbox on Xvfb), where
# windows have title bars and borders: the main window, the item database
# window and the export dialog come back at the same outer place and size over
# three restarts (the options file holding those outer bounds), and a dialog
# closed from the item database window leaves that window active, so that the
# next Ctrl+N opens a new item there.
# Usage: window_manager_test.sh KISTORA SAMPLE_DATA_MAKER. Exit 77 (skipped)
# when Xvfb, openbox or the X tools are missing.
set -uo pipefail
kistora="$1"
make_sample="$2"
for tool in Xvfb openbox xdotool xwininfo xprop; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

work="$(mktemp -d)"
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; wait "${pids[i]}" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; exit 1; }

# A display of its own: Xvfb picks a free number and writes it.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"
export QT_QPA_PLATFORM=xcb
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "openbox did not start"

data="$work/data"
mkdir -p "$data"
"$make_sample" "$data" >/dev/null || fail "no sample catalogue"

# shellcheck source=../../scripts/x11-windows.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/x11-windows.sh"
# The id of the visible window whose title is exactly $1 (waits for it up to 10 s).
window() { wait_for_window "^$1\$"; }
gone() {
  for _ in $(seq 100); do
    [[ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]] && return 0
    sleep 0.1
  done
  return 1
}
# Outer bounds "left top width height" of a window: its own place and size
# (xwininfo) with the frame the window manager announces around it.
outer() {
  local info x y w h l r t b
  info="$(xwininfo -id "$1")"
  x="$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")"
  y="$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")"
  w="$(sed -n 's/.*Width: *//p' <<<"$info")"
  h="$(sed -n 's/.*Height: *//p' <<<"$info")"
  read -r l r t b <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}
# Waits until the window's outer bounds stop changing, then prints them.
settled() {
  local before now
  before="$(outer "$1")"
  for _ in $(seq 20); do
    sleep 0.2
    now="$(outer "$1")"
    [[ "$now" == "$before" ]] && break
    before="$now"
  done
  echo "$now"
}
client_size() { xwininfo -id "$1" | sed -n 's/.*Width: *//p; s/.*Height: *//p' | tr '\n' ' '; }
active_is() { [[ "$(xdotool getactivewindow 2>/dev/null)" == "$1" ]]; }

start() {
  "$kistora" --data-dir "$data" >>"$work/kistora.log" 2>&1 &
  program=$!
  pids+=("$program")
  main="$(window Kistora)" || fail "the main window did not open"
  sleep 0.5
}
stop() {
  xdotool windowactivate --sync "$main" key ctrl+q
  for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program" 2>/dev/null && fail "the program did not close"
  wait "$program"
}
# "Gestionnaire d'objets", the third button under the inventory.
open_item_window() {
  local size
  read -r -a size <<<"$(client_size "$main")"
  xdotool windowactivate --sync "$main" mousemove --window "$main" 192 $((size[1] - 17)) click 1
  items="$(window "Gestionnaire d'objets")" || fail "the item database window did not open"
}
export_from_item_window() {
  xdotool windowactivate --sync "$items" key ctrl+e
  dialog="$(window ExportWin)" || fail "the export dialog did not open"
  export_bounds="$(settled "$dialog")"
  xdotool key Escape
  gone ExportWin || fail "the export dialog did not close"
}

# First run: the player moves and sizes the windows.
start
xdotool windowmove --sync "$main" 61 47 windowsize --sync "$main" 700 520
main_bounds="$(settled "$main")"
open_item_window
xdotool windowmove --sync "$items" 402 233 windowsize --sync "$items" 640 480
items_bounds="$(settled "$items")"
export_from_item_window
first_export="$export_bounds"
stop
read -r -a m <<<"$main_bounds"
grep -aq "^mwp_left *${m[0]}"$'\r' "$data/kistora.ini" && grep -aq "^mwp_top *${m[1]}"$'\r' "$data/kistora.ini" &&
  grep -aq "^mwp_width *${m[2]}"$'\r' "$data/kistora.ini" && grep -aq "^mwp_height *${m[3]}"$'\r' "$data/kistora.ini" ||
  fail "kistora.ini does not hold the main window's outer bounds $main_bounds: $(grep -a wp_ "$data/kistora.ini")"
echo "first run: main $main_bounds, items $items_bounds, export $first_export"

for run in 2 3 4; do
  start
  now="$(settled "$main")"
  [[ "$now" == "$main_bounds" ]] || fail "run $run: the main window came back at $now, not $main_bounds"
  open_item_window
  now="$(settled "$items")"
  [[ "$now" == "$items_bounds" ]] || fail "run $run: the item window came back at $now, not $items_bounds"
  export_from_item_window
  [[ "$export_bounds" == "$first_export" ]] || fail "run $run: the export dialog opened at $export_bounds, not $first_export"
  active_is "$items" || fail "run $run: the export dialog closed, the item window is not active"
  if [[ $run == 2 ]]; then
    # "Voir..." (Enter) on the first item, then OK: the item window stays active.
    xdotool windowactivate --sync "$items" mousemove --window "$items" 40 90 click 1 key Return
    window "Propriétés d'un objet" >/dev/null || fail "the properties dialog did not open"
    xdotool key Return
    gone "Propriétés d'un objet" || fail "the properties dialog did not close"
    sleep 0.3
    active_is "$items" || fail "after OK in the properties dialog the item window is not active"
    xdotool key ctrl+n
    window "Propriétés d'un objet" >/dev/null || fail "Ctrl+N after the dialog did not open a new item"
    [[ -z "$(xdotool search --onlyvisible --name '^Perso$' 2>/dev/null)" ]] || fail "Ctrl+N opened the character dialog"
    xdotool key Escape
    gone "Propriétés d'un objet" || fail "the new item's dialog did not close"
  fi
  stop
  echo "run $run: the three windows came back in place"
done
echo "PASSED"
