#!/usr/bin/env bash
# The main job on the bundled sample: installs what is needed, builds, and crunches
# samples/sunset.tga into out/ through a scripted menu session.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target Zorvel-cruncher

mkdir -p out
cp samples/sunset.tga out/
cd out
# Colour map, scatter volume 3 x 3 x 3, velocity 1.5, height 4; then crunch.
printf 'a\na\nsunset.tga\nb\n3\n3\n3\nx\nb\nd\n1.5\ng\nnone\n4\nx\nd\ny\n\n' | ../build/bin/Zorvel-cruncher
echo
echo "Wrote: $(ls sunset.tga.p* | tr '\n' ' ')"
