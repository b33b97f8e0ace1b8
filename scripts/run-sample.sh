#!/usr/bin/env bash
# The main job on the bundled samples. Installs what is needed and builds, then:
#   run-sample.sh           crunches samples/sunset.tga into out/ and plays it in the viewer
#   run-sample.sh blender   plays samples/day.morvaine in the blender
# With a display the window opens full screen (space plays, ESC ends). Without one the
# program plays on a virtual display for a few seconds and a screenshot lands in out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target Zorvel-cruncher Zorvel-viewer Morvaine

mkdir -p out
cp samples/*.tga samples/*.morvaine out/
cd out

# Runs a program on the display, or headless on Xvfb with a screenshot.
play() {
  local program=$1 menu=$2 shot=$3
  if [ -n "${DISPLAY:-}" ]; then
    printf '%b' "$menu" | "$program"
    return
  fi
  local display=:$((90 + $$ % 100))
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  local xvfb=$!
  sleep 1
  printf '%b' "$menu" | DISPLAY=$display "$program" > "$shot.log" &
  local viewer=$!
  sleep 3
  DISPLAY=$display xdotool key space
  sleep 4
  DISPLAY=$display import -window root "$shot.png"
  DISPLAY=$display xdotool key Escape
  wait "$viewer" || true
  kill "$xvfb"
  grep -v '^framerate: ' "$shot.log" | tail -n 3
  echo
  echo "No display: played headless; screenshot in out/$shot.png, console output in out/$shot.log"
}

if [ "${1:-viewer}" = "blender" ]; then
  play ../build/bin/Morvaine 'day.morvaine\nb\n' blender
  exit 0
fi

# Colour map, scatter volume 3 x 3 x 3, velocity 0.5; then crunch.
printf 'a\na\nsunset.tga\nb\n3\n3\n3\nx\nb\nd\n0.5\nx\nd\ny\n\n' | ../build/bin/Zorvel-cruncher | tail -n 4
echo "Wrote: $(ls sunset.tga.p* | tr '\n' ' ')"
play ../build/bin/Zorvel-viewer 'a\nsunset.tga.pPath\nc\nsunset.tga.pColor\nd\nsunset.tga.pOpacity\ne\nsunset.tga.pScale\n1\n1\ng\ny\n' viewer
