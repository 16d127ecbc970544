#!/usr/bin/env bash
# Installs what is needed, builds everything with warnings as errors and runs every test. The
# build folder takes CMake's default generator (Makefiles) when it is new and keeps the one it
# was made with otherwise; the sanitizer build uses Ninja, so CI builds with both from clean.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DCC_WARNINGS_AS_ERRORS=ON
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2
