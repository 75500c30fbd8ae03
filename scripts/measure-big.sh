#!/usr/bin/env bash
# Measures Kistora from outside on a big catalogue (1,000,000 items and 1,000
# characters holding 100 each, unless told otherwise): the size of the files,
# reading them into memory, kistora-cli check (time, peak memory), and the
# windowed program under Xvfb (memory after start-up, the item database
# window's opening, memory with it open once its search texts are made).
# Usage: scripts/measure-big.sh [BUILD-DIR [ITEMS]]   (a Release build: build/rel)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

seconds_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
hwm_kb() { awk '/^VmHWM/ {print $2}' "/proc/$1/status"; }
# Waits until the process has used no CPU for a second (start-up or a step done).
wait_idle() {
  local last="" now
  for _ in $(seq 600); do
    now="$(awk '{print $14 + $15}' "/proc/$1/stat")"
    [[ "$now" == "$last" ]] && return 0
    last="$now"
    sleep 1
  done
}
# shellcheck source=x11-windows.sh
source "$root/scripts/x11-windows.sh"

if [[ "${1:-}" == --inside-xvfb ]]; then
  build="$2" dir="$3"
  unset QT_QPA_PLATFORM
  openbox >/dev/null 2>&1 &
  sleep 1
  start=$(date +%s.%N)
  KISTORA_DATA_DIR="$dir" "$build/app/kistora" >"$dir/../kistora.log" 2>&1 &
  pid=$!
  trap 'kill "$pid" 2>/dev/null || true' EXIT
  wid="$(wait_for_window '^Kistora$' 30)"
  shown=$(date +%s.%N)
  wait_idle "$pid"
  printf 'main window shown after %.2f s; after start-up: RSS %d KB\n' "$(seconds_between "$start" "$shown")" "$(rss_kb "$pid")"
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  clicked=$(date +%s.%N)
  xdotool mousemove --window "$wid" 230 $((HEIGHT - 17)) click 1
  wait_for_window "^Gestionnaire d'objets$" 30 >/dev/null
  opened=$(date +%s.%N)
  printf 'item database window shown %.3f s after the click\n' "$(seconds_between "$clicked" "$opened")"
  wait_idle "$pid"
  printf 'with the item window open (search texts made): RSS %d KB, peak %d KB\n' "$(rss_kb "$pid")" "$(hwm_kb "$pid")"
  exit 0
fi

build="$(realpath "${1:-$root/build/rel}")"
items="${2:-1000000}"
work="/tmp/kistora-big-$items"
"$root/scripts/deps.sh" test >/dev/null
if [[ ! -s "$work/data/items.kdb" ]]; then
  mkdir -p "$work/data"
  "$build/bench/support/bench_make_catalogue" "$work/data" "$items"
fi
bytes=$(stat -c %s "$work/data/items.kdb")
chars=$(stat -c %s "$work/data/chars.kdb")
echo "items.kdb: $bytes bytes; chars.kdb: $chars bytes ($items items)"
cat "$work/data/items.kdb" "$work/data/chars.kdb" >/dev/null  # in the page cache, as for each run below
/usr/bin/time -f 'reading both files through a pipe (cat): %e s' cat "$work/data/items.kdb" "$work/data/chars.kdb" >/dev/null
# The bytes kept in memory, as a load must: one read into a buffer of the file's size.
for _ in 1 2 3; do
  /usr/bin/time -f 'reading items.kdb into memory (dd, one buffer): %e s, peak RSS %M KB' \
    dd if="$work/data/items.kdb" of=/dev/null bs="$bytes" count=1 iflag=fullblock status=none
done
for _ in 1 2 3; do
  /usr/bin/time -f 'kistora-cli check: %e s, peak RSS %M KB' "$build/cli/kistora-cli" check "$work/data" >/dev/null
done
xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --inside-xvfb "$build" "$work/data"
