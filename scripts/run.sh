#!/usr/bin/env bash
# Builds Kistora and starts it on a data folder of its own, build/data/ (its
# first start creates it: an empty catalogue, no message), unless
# KISTORA_DATA_DIR names another. Arguments are passed on to the program.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh" build
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DKISTORA_TESTS=OFF >/dev/null
cmake --build "$root/build/release" --target kistora kistora-cli -j"$(nproc)"
exe="$root/build/release/app/kistora"
# The copy beside the build keeps its files in its own folder otherwise, where a
# first start finds none and says it cannot open the item database.
data=(--data-dir "$root/build/data")
[[ -n "${KISTORA_DATA_DIR:-}" ]] && data=()
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  cat >&2 <<MSG
Kistora is built ($exe) but this machine has no display (neither DISPLAY nor
WAYLAND_DISPLAY is set), so its window cannot be shown here.
To start it under a virtual X server:
  apt-get install -y xvfb && xvfb-run -a -s "-screen 0 1280x1024x24" "$exe" ${data[*]}
or run it from a desktop session.
MSG
  exit 1
fi
exec "$exe" "${data[@]}" "$@"
