# Sourced by the scripts and the desktop test that drive the real program on an
# X display: finding its windows by their titles.

# wait_for_window REGEX [SECONDS]: prints the id of the first visible window
# whose title matches REGEX, looked for every 10 ms; returns 1 when none has
# appeared after SECONDS (10 unless told).
wait_for_window() {
  local wid
  for _ in $(seq $((${2:-10} * 100))); do
    wid="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)"
    [[ -n "$wid" ]] && { echo "$wid"; return 0; }
    sleep 0.01
  done
  return 1
}
