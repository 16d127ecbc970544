#!/usr/bin/env bash
# Builds the libFuzzer targets (the stored form of herb texts, the keyword splitter) with clang
# and runs each for about 30 seconds. Exits non-zero when a fuzzer finds a crash, a broken
# stored form or an impossible keyword.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${CC_FUZZ_BUILD_DIR:-build-fuzz}"
seconds="${CC_FUZZ_SECONDS:-30}"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCC_BUILD_FUZZERS=ON -DCC_BUILD_TESTS=OFF -DCC_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j2 --target normalize_field_text_fuzz keyword_splitter_fuzz

corpus="$build/fuzz-corpus/normalize_field_text"
mkdir -p "$corpus"
# A few texts of the kinds the rules treat specially, read as UTF-8 (first byte even).
printf '\000甘,微苦;温' >"$corpus/punctuation"
printf '\0003。5 1.5 见.《本草》' >"$corpus/points"
printf '\000\r\n甘\n苦\r\n' >"$corpus/line-breaks"
printf '\000   ' >"$corpus/spaces"

"$build/bin/normalize_field_text_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$build/" "$corpus"

corpus="$build/fuzz-corpus/keyword_splitter"
mkdir -p "$corpus"
# Separators, both kinds of brackets (closed and not), spaces and line breaks.
printf '\000治风寒感冒：头痛、咳嗽。' >"$corpus/separators"
printf '\000清热(生用)解毒，补气（炙用。' >"$corpus/brackets"
printf '\000 清 热 \r\n解毒\343\200\200*利湿；' >"$corpus/blanks"

"$build/bin/keyword_splitter_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$build/" "$corpus"
