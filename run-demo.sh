#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: writes a small K1
# dump with the codec and lists the presets it holds.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps/install.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "${JOBS:-$(nproc)}"
build/release/tools/syxlist/syxlist --write-demo build/demo.syx
build/release/tools/syxlist/syxlist build/demo.syx
