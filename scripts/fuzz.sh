#!/usr/bin/env bash
# Builds every libFuzzer target with clang and runs each for a bounded time (CC_FUZZ_SECONDS,
# 30 by default), starting from its corpus in tests/fuzz/corpus/<target>/; what the fuzzer adds
# goes into the build folder, never into the repository. Prints the executions per target and
# exits non-zero at the first crash or broken property (the input is left in the build folder).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${CC_FUZZ_SECONDS:-30}"
targets=(normalize_field_text keyword_splitter like_pattern data_file_open query_text)

source scripts/sanitized-build.sh
build="$sanitized_build"
cmake --build "$build" -j2 --target "${targets[@]/%/_fuzz}"

summary=()
for target in "${targets[@]}"; do
  found="$build/fuzz-corpus/$target"
  mkdir -p "$found"
  log="$build/fuzz-$target.log"
  if ! "$build/bin/${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build/$target-" "$found" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    tail -40 "$log"
    echo "fuzz: $target FAILED (input saved under $build/$target-*)"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  summary+=("fuzz: $target executions = ${runs:-?} in ${seconds} s")
done
printf '%s\n' "${summary[@]}"
