#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: lists the factory
# presets compiled into the instrument, storage by storage, by slot label.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps/install.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "${JOBS:-$(nproc)}"
build/release/tools/syxlist/syxlist --factory
