#!/usr/bin/env bash
# The main job on the bundled samples. Installs what is needed and builds, then:
#   run-sample.sh           crunches samples/sunset.tga into out/ and plays it in the viewer
#   run-sample.sh blender   plays samples/day.morvaine in the blender
# With a display the window opens full screen (space plays, ESC ends). Without one the
# animation is recorded instead, as out/sunset.mp4 and out/sunset.gif (out/day.mp4 and
# out/day.gif for the blender).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target Zorvel-cruncher Zorvel-viewer Morvaine Zorvel-recorder

mkdir -p out
cp samples/*.tga samples/*.morvaine out/
cd out

# Plays on the display, or records a video and an animated picture without one.
show() {
  local program=$1 menu=$2 name=$3
  shift 3
  if [ -n "${DISPLAY:-}" ]; then
    printf '%b' "$menu" | "$program"
    return
  fi
  for output in "$name.mp4" "$name.gif"; do
    ../build/bin/Zorvel-recorder "$@" --size 960x540 -o "$output" 2> "$name.log" || { cat "$name.log"; exit 1; }
  done
  echo "No display: recorded the animation instead, as out/$name.mp4 and out/$name.gif"
}

if [ "${1:-viewer}" = "blender" ]; then
  show ../build/bin/Morvaine 'day.morvaine\nb\n' day --blender day.morvaine
  exit 0
fi

# Colour map, scatter volume 3 x 3 x 3, velocity 0.5; then crunch.
printf 'a\na\nsunset.tga\nb\n3\n3\n3\nx\nb\nd\n0.5\nx\nd\ny\n\n' | ../build/bin/Zorvel-cruncher | tail -n 4
echo "Wrote: $(ls sunset.tga.p* | tr '\n' ' ')"
show ../build/bin/Zorvel-viewer 'a\nsunset.tga.pPath\nc\nsunset.tga.pColor\nd\nsunset.tga.pOpacity\ne\nsunset.tga.pScale\n1\n1\ng\ny\n' \
  sunset sunset.tga.pPath --color sunset.tga.pColor --opacity sunset.tga.pOpacity
