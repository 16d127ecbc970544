# Sourced by sanitize.sh and fuzz.sh: one clang build folder for both, in which every library
# is built once with AddressSanitizer, UndefinedBehaviorSanitizer and the fuzzers' coverage.
sanitized_build="${CC_SANITIZE_BUILD_DIR:-build-sanitize}"
CC=clang CXX=clang++ cmake -S . -B "$sanitized_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCC_BUILD_FUZZERS=ON -DCC_BUILD_TESTS=ON -DCC_BUILD_BENCHMARKS=OFF >/dev/null
