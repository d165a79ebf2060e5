#!/usr/bin/env bash
# Fails when run-demo.sh would install a package that only the tests need.
set -euo pipefail
root="$1"
deps="$root/tools/deps"
packages() { grep -v '^[[:space:]]*\(#\|$\)' "$1"; }

# run-demo.sh installs the build list only; run-tests.sh both lists.
grep -qx 'tools/deps/install.sh' "$root/run-demo.sh" || { echo "run-demo.sh does not install packages.txt alone"; exit 1; }
grep -qx 'tools/deps/install.sh packages.txt test-packages.txt' "$root/run-tests.sh" ||
  { echo "run-tests.sh does not install both lists"; exit 1; }
# No package in both lists, and none of the hosts, peers and test toolchains
# (hundreds of packages between them) in the build list.
both="$(comm -12 <(packages "$deps/packages.txt" | sort) <(packages "$deps/test-packages.txt" | sort))"
[[ -z "$both" ]] || { echo "in both lists: $both"; exit 1; }
for pkg in ardour qtractor muse amsynth zynaddsubfx-vst dpf-plugins-vst xvfb zenity clang; do
  if packages "$deps/packages.txt" | grep -qx "$pkg"; then
    echo "the main job would install $pkg"
    exit 1
  fi
  packages "$deps/test-packages.txt" | grep -qx "$pkg" || { echo "no list installs $pkg"; exit 1; }
done
echo "package lists in order"
