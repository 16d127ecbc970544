#!/usr/bin/env bash
# Builds the libFuzzer target for the stored form of herb texts with clang and runs it for
# about 30 seconds. Exits non-zero when the fuzzer finds a crash or a broken stored form.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${CC_FUZZ_BUILD_DIR:-build-fuzz}"
seconds="${CC_FUZZ_SECONDS:-30}"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCC_BUILD_FUZZERS=ON -DCC_BUILD_TESTS=OFF -DCC_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j2 --target normalize_field_text_fuzz

corpus="$build/fuzz-corpus/normalize_field_text"
mkdir -p "$corpus"
# A few texts of the kinds the rules treat specially, read as UTF-8 (first byte even).
printf '\000甘,微苦;温' >"$corpus/punctuation"
printf '\0003。5 1.5 见.《本草》' >"$corpus/points"
printf '\000\r\n甘\n苦\r\n' >"$corpus/line-breaks"
printf '\000   ' >"$corpus/spaces"

"$build/bin/normalize_field_text_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$build/" "$corpus"
