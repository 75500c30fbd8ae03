#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer)
# in build/fuzz and runs each for KISTORA_FUZZ_SECONDS seconds (30 by default),
# starting from the committed starting corpus. Any finding (crash, broken round trip,
# leak, timeout, memory blow-up) fails the script; the input that caused it is
# kept in build/fuzz/artifacts/<target>/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/fuzz"
seconds="${KISTORA_FUZZ_SECONDS:-30}"
targets=(load_items load_chars read_options export)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKISTORA_GUI=OFF -DKISTORA_TESTS=OFF -DKISTORA_BENCH=OFF -DKISTORA_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

failed=()
for target in "${targets[@]}"; do
  # A scratch copy of the starting inputs: the run adds what it finds there, never to the repository.
  work="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  mkdir -p "$work" "$artifacts"
  cp -n "$root/fuzz/corpus/$target/"* "$work/" 2>/dev/null || true
  dict=()
  case "$target" in
    load_*) dict=(-dict="$root/fuzz/database.dict") ;;
    read_options) dict=(-dict="$root/fuzz/read_options.dict") ;;
  esac
  log="$build/$target.log"
  echo "-- fuzz_$target: ${seconds} s"
  if ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
     "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$artifacts/" "${dict[@]}" "$work" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$log" | sed 's/^/   /' || true
  else
    echo "   finding: see $log and $artifacts/"
    tail -n 40 "$log"
    failed+=("$target")
  fi
done

if ((${#failed[@]} > 0)); then
  echo "Fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
