#!/usr/bin/env bash
# The whole test suite: the layout check, the normal build, then the AddressSanitizer
# and UndefinedBehaviorSanitizer build, then the fuzz targets for a short fixed time,
# and the static analysis. Every build treats a warning as an error. Every stage runs
# even when an earlier one failed; the last line counts the tests of all stages (a
# build that fails, the layout check and the analysis each count as one test), and the
# exit status is 1 when anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || { echo "0 passed, 1 failed (installing the packages)"; exit 1; }

jobs=$(nproc)
passed=0
failed=0
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# Counts a ctest run from its summary line; a run without one counts as one failure.
count_ctest() {
  local summary
  summary=$(grep -E '[0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$summary" ]; then
    failed=$((failed + 1))
    return
  fi
  local bad total
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
  total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$summary")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

# Configures and builds DIR with the cmake options that follow; a failure counts as one
# failed test.
build() {
  local name=$1 dir=$2
  shift 2
  if cmake -S . -B "$dir" -G Ninja -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "$@" \
    >/dev/null && cmake --build "$dir" -j "$jobs"; then
    return 0
  fi
  echo "!! the $name build failed"
  failed=$((failed + 1))
  return 1
}

# Counts one check: passed when the command succeeds.
check() {
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    echo "!! $name failed"
    failed=$((failed + 1))
  fi
}

echo "== Layout (.clang-format)"
check "the layout check" bash -c 'git ls-files "*.cpp" "*.h" | xargs clang-format --dry-run -Werror'

echo "== Normal build"
if build normal build -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
  ctest --test-dir build --output-on-failure -j "$jobs" 2>&1 | tee "$logs/normal"
  count_ctest "$logs/normal"
fi

echo "== Sanitizer build"
if build sanitizer build-sanitize -DCMAKE_BUILD_TYPE=Debug -DZORVEL_SANITIZE=ON -DZORVEL_BENCH=OFF; then
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS="suppressions=$PWD/scripts/third-party-leaks.supp" \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs" 2>&1 | tee "$logs/sanitizer"
  count_ctest "$logs/sanitizer"
fi

echo "== Fuzz targets"
if CC=clang CXX=clang++ build fuzz build-fuzz -DCMAKE_BUILD_TYPE=Debug -DZORVEL_FUZZ=ON -DZORVEL_BENCH=OFF; then
  bash scripts/run-fuzzers.sh build-fuzz 20 2>&1 | tee "$logs/fuzz"
  fuzz_passed=$(grep -c -E '^-- .*: passed$' "$logs/fuzz")
  fuzz_failed=$(grep -c -E '^-- .*: FAILED$' "$logs/fuzz")
  passed=$((passed + fuzz_passed))
  failed=$((failed + fuzz_failed))
  [ $((fuzz_passed + fuzz_failed)) -gt 0 ] || failed=$((failed + 1))
fi

echo "== Static analysis (.clang-tidy)"
# Every source of the normal build, and the fuzz targets from the fuzz build's commands.
tidy() {
  [ -f build/compile_commands.json ] || return 1
  git ls-files "*.cpp" | grep -v '^fuzz/' | xargs -P "$jobs" -n 8 clang-tidy -p build --quiet || return 1
  [ ! -f build-fuzz/compile_commands.json ] || git ls-files "fuzz/*.cpp" | xargs clang-tidy -p build-fuzz --quiet
}
check "the static analysis" tidy

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
