#!/usr/bin/env bash
# Builds and runs every test: a release build with gcc, then an ASan+UBSan
# build with clang that also runs each libFuzzer target for a short while,
# then the facade's tests (its three-thread stress test among them) in a
# ThreadSanitizer build with clang of only what they need.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps/install.sh

jobs="${JOBS:-$(nproc)}"

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DDARVELLO_SANITIZE=ON -DDARVELLO_FUZZ=ON -DDARVELLO_BENCH=OFF
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"

cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DDARVELLO_BENCH=OFF \
      -DCMAKE_C_FLAGS=-fsanitize=thread -DCMAKE_CXX_FLAGS=-fsanitize=thread \
      -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread
cmake --build build/tsan -j "$jobs" --target facadeTests facadeStressTests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build/tsan --output-on-failure -j "$jobs" -R '^Facade[A-Za-z]*\.'
