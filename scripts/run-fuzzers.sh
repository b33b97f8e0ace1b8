#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a fixed time each, starting from the
# project's seed corpus. Usage: run-fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-20}

run() {
  local target=$1 corpus=$2
  local work
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$corpus/." "$work/"
  echo "-- $target for ${seconds}s"
  "$build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 "$work" 2>&1 | tail -n 5
  rm -rf "$work"
}

run tga_image_fuzz tga
run path_file_fuzz path
run rtg_object_fuzz rtg
run blender_config_fuzz config
