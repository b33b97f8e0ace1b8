#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a fixed time each, starting from the
# project's seed corpus. Usage: run-fuzzers.sh BUILD_DIR SECONDS
# Each target's -max_len lets the sizes its inputs declare outrun the bytes they hold.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-20}

run() {
  local target=$1 corpus=$2 maxlen=$3
  local work
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$corpus/." "$work/"
  echo "-- $target for ${seconds}s"
  "$build/fuzz/$target" -max_total_time="$seconds" -max_len="$maxlen" -rss_limit_mb=2048 -print_final_stats=1 \
    "$work" 2>&1 | tail -n 5
  rm -rf "$work"
}

run tga_image_fuzz tga 4096
run cruncher_maps_fuzz tga 4096
run path_file_fuzz path 8192
run attribute_files_fuzz attributes 4096
run rtg_object_fuzz rtg 8192
run blender_config_fuzz config 4096
