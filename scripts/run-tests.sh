#!/usr/bin/env bash
# The whole test suite: the normal build, then the AddressSanitizer and
# UndefinedBehaviorSanitizer build, then the fuzz targets for a short fixed time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)

echo "== Normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Sanitizer build"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORVEL_SANITIZE=ON -DZORVEL_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

echo "== Fuzz targets"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORVEL_FUZZ=ON \
  -DZORVEL_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$jobs"
bash scripts/run-fuzzers.sh build-fuzz 20
