#!/usr/bin/env bash
# Builds and runs every test: a release build with gcc, then an ASan+UBSan
# build with clang that also runs each libFuzzer target for a short while,
# then the facade's tests (its three-thread stress test among them), the
# effect between a host's UI and audio threads, and the editor opened and
# closed in a host while audio runs, in a ThreadSanitizer
# build with clang of only what they need. An X server runs for the tests
# that show the editor.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps/install.sh packages.txt test-packages.txt

jobs="${JOBS:-$(nproc)}"

# The tests that open the editor in a real X11 window and drive it through
# the X server share one Xvfb with a screen of the panel's design size
# (tests/support/testDisplay.h); it stops when this script ends.
xvfb_number="$(mktemp)"
Xvfb -displayfd 3 -screen 0 2560x1440x24 -nolisten tcp -noreset 3>"$xvfb_number" &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -f "$xvfb_number"' EXIT
for _ in $(seq 100); do
  [[ -s "$xvfb_number" ]] && break
  sleep 0.1
done
[[ -s "$xvfb_number" ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DARVELLO_TEST_DISPLAY=":$(head -n 1 "$xvfb_number")"

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
cmake --build build/tsan -j "$jobs" --target facadeTests facadeStressTests effect_window_tests vsthost darvello_vst \
      effectThreadTests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build/tsan --output-on-failure -j "$jobs" -R '^(Facade[A-Za-z]*|EditorChurn|EffectThreads)\.'
