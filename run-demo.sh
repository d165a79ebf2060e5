#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: lists the factory
# presets compiled into the instrument, storage by storage, by slot label,
# then plays a short demo phrase through the engine with factory presets (a
# single, then a multi) at 44.1 kHz, as a host would, and writes it to WAV
# files.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps/install.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "${JOBS:-$(nproc)}"
build/release/tools/syxlist/syxlist --factory
build/release/tools/render/k1render --single 0 --rate 44100 --out build/demo-single.wav
build/release/tools/render/k1render --multi 0 --rate 44100 --out build/demo-multi.wav
