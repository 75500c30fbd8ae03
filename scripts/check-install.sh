#!/usr/bin/env bash
# Builds the Debian package and checks what it installs with Debian's own tools:
# desktop-file-validate, appstreamcli, lintian (no error), man (each page renders
# without a warning), then runs the unpacked kistora-cli.
# Usage: scripts/check-install.sh [BUILD_DIR]   (default build/package; a build
# folder configured by another script, e.g. build/test, is reused as it is)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/package}"
"$root/scripts/deps.sh" test

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKISTORA_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target kistora kistora-cli kistora_data -j"${KISTORA_JOBS:-$(nproc)}"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
app_id="$(sed -n 's/^set(KISTORA_APP_ID \(.*\))$/\1/p' "$root/CMakeLists.txt")"
(cd "$build" && cpack -G DEB >/dev/null)
deb="$build/kistora_${version}_$(dpkg --print-architecture).deb"
echo "== Package: $deb"
dpkg-deb --field "$deb" Package Version Depends

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
dpkg-deb -x "$deb" "$stage"

failed=0
step() {  # step NAME COMMAND...: runs the command, reports, remembers a failure
  local name="$1"
  shift
  if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failed=1; fi
}
no_output() {  # succeeds when the command succeeds and prints nothing on stderr
  local err
  err="$("$@" 2>&1 >/dev/null)" || { echo "$err" >&2; return 1; }
  [[ -z "$err" ]] || { echo "$err" >&2; return 1; }
}
cli_version() {
  [[ "$("$stage/usr/bin/kistora-cli" --version)" == "kistora-cli $version" ]]
}
# An installed copy keeps its data in $XDG_DATA_HOME/kistora, never beside /usr/bin.
installed_folder() {
  local home="$stage/home"
  mkdir -p "$home"
  local err
  err="$(env -u KISTORA_DATA_DIR -u XDG_DATA_HOME HOME="$home" LC_ALL=C "$stage/usr/bin/kistora-cli" check 2>&1)" && return 1
  grep -q "$home/.local/share/kistora/items.kdb" <<<"$err" || { echo "$err" >&2; return 1; }
}

step "desktop-file-validate" desktop-file-validate "$stage/usr/share/applications/$app_id.desktop"
step "appstreamcli validate" appstreamcli validate --no-net "$stage/usr/share/metainfo/$app_id.metainfo.xml"
step "lintian (no error)" lintian --fail-on error "$deb"
for page in "$stage"/usr/share/man/man1/*.1.gz; do
  step "man $(basename "$page")" no_output env LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page"
done
step "icons" test -s "$stage/usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
  -a -s "$stage/usr/share/icons/hicolor/48x48/apps/$app_id.png" \
  -a -s "$stage/usr/share/icons/hicolor/128x128/apps/$app_id.png" \
  -a -s "$stage/usr/share/icons/hicolor/256x256/apps/$app_id.png"
step "kistora-cli --version" cli_version
step "installed data folder" installed_folder
exit "$failed"
