#!/usr/bin/env bash
# Builds the logic libraries and their tests (with the screens they test) under
# AddressSanitizer and UndefinedBehaviorSanitizer in a build folder of their own, shared with
# the fuzzers, and runs those tests; the first fault found ends the run.
set -euo pipefail
cd "$(dirname "$0")/.."
tests=(datastore_tests herbs_logic_tests dictionaries_tests seed_table_tests access_tests startup_tests
       browse_logic_tests maintenance_logic_tests
       damaged_file_tests fuzz_corpus_tests)

source scripts/sanitized-build.sh
build="$sanitized_build"
cmake --build "$build" -j2 --target "${tests[@]}"

# Qt keeps some allocations for the life of the process; leaks are not what this run is for.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
regex="^($(IFS='|'; echo "${tests[*]}"))\$"
ctest --test-dir "$build" -R "$regex" -j2 --output-on-failure
