#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: plays a short demo
# phrase through the Darvello.so plug-in, loaded by the command-line VST host
# as a Linux host loads it, with factory presets (a single, then a multi) at
# 44.1 kHz, and writes it to WAV files.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps/install.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "${JOBS:-$(nproc)}"

plugin=build/release/vst/Darvello.so
host=build/release/tools/vsthost/vsthost
rate=44100
build/release/tools/render/k1render --single 0 --write-midi build/demo-single.mid
build/release/tools/render/k1render --multi 0 --write-midi build/demo-multi.mid
"$host" "$plugin" --rate "$rate" --program 0 --midi build/demo-single.mid --tail 2 --out build/demo-single.wav
"$host" "$plugin" --rate "$rate" --param 208=1 --program 0 --midi build/demo-multi.mid --tail 2 --out build/demo-multi.wav
