#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a fixed time each, starting from the
# project's seed corpus. Usage: run-fuzzers.sh BUILD_DIR SECONDS
# Each target's -max_len lets the sizes its inputs declare outrun the bytes they hold.
# Every target runs; each ends with a line "-- TARGET: passed" or "-- TARGET: FAILED",
# and the exit status is 1 when any failed.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-20}

status=0

run() {
  local target=$1 corpus=$2 maxlen=$3
  local work log
  work=$(mktemp -d)
  log="$work.log"
  cp -r "fuzz/corpus/$corpus/." "$work/"
  echo "-- $target for ${seconds}s"
  if LSAN_OPTIONS="suppressions=$PWD/scripts/third-party-leaks.supp" "$build/fuzz/$target" -max_total_time="$seconds" -max_len="$maxlen" -rss_limit_mb=2048 -print_final_stats=1 \
    "$work" >"$log" 2>&1; then
    tail -n 5 "$log"
    echo "-- $target: passed"
  else
    # What the fuzzer found: the report and the input that shows it.
    grep -v -E '^#[0-9]+' "$log" | tail -n 60
    echo "-- $target: FAILED"
    status=1
  fi
  rm -rf "$work" "$log"
}

run tga_image_fuzz tga 4096
run cruncher_maps_fuzz tga 4096
run picture_reading_fuzz picture 4096
run picture_header_fuzz picture 4096
run path_file_fuzz path 8192
run attribute_files_fuzz attributes 4096
run rtg_object_fuzz rtg 8192
run camera_keys_fuzz keys 4096
run blender_config_fuzz config 4096
exit $status
