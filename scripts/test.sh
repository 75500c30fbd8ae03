#!/usr/bin/env bash
# Builds Kistora and runs every test: the unit and window tests, the same suite
# under AddressSanitizer + UndefinedBehaviorSanitizer (but the crash test, whose
# few hundred kills of real saves run in the plain build, and the real program
# under openbox, likewise), a bounded fuzzing run, and the checks of the Debian
# package and what it installs.
# The plain suite runs last so that ctest's summary closes the output.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"
"$root/scripts/deps.sh" test
export QT_QPA_PLATFORM=offscreen

echo "== Code checks (formatting, window include graph, the Unix Makefiles build of the icon)"
git -C "$root" ls-files '*.cpp' '*.h' | (cd "$root" && xargs clang-format-14 --dry-run -Werror)
"$root/scripts/include-graph.sh" | tail -n 1
# CMake's default generator knows how to make every file a target uses: here the
# icon PNGs the windows library compiles in.
rm -rf "$root/build/makefiles"
cmake -S "$root" -B "$root/build/makefiles" -G "Unix Makefiles" -DKISTORA_TESTS=OFF >/dev/null
cmake --build "$root/build/makefiles" --target kistora_gui_kistora_icon -j"$jobs" >/dev/null

echo "== Sanitized build (AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake -S "$root" -B "$root/build/asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DKISTORA_SANITIZE=ON -DKISTORA_BENCH=OFF >/dev/null
cmake --build "$root/build/asan" -j"$jobs"
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
  ctest --test-dir "$root/build/asan" -j"$jobs" --output-on-failure -LE 'browser|crash|desktop|sync'

if [[ -x "$root/scripts/fuzz.sh" ]]; then
  echo "== Fuzzing (${KISTORA_FUZZ_SECONDS:-30} s per target)"
  "$root/scripts/fuzz.sh"
fi

echo "== Build and test"
cmake -S "$root" -B "$root/build/test" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DKISTORA_BENCH=ON >/dev/null
cmake --build "$root/build/test" -j"$jobs"
echo "== Debian package and installed files"
"$root/scripts/check-install.sh" "$root/build/test"
ctest --test-dir "$root/build/test" -j"$jobs" --output-on-failure
