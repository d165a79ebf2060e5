#!/usr/bin/env bash
# Installs whatever Debian packages of the given lists are missing (run as
# root). Lists are files in this folder, one package per line, # comments;
# without arguments, packages.txt (building and the main job). run-tests.sh
# also passes test-packages.txt.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
lists=("$@")
((${#lists[@]})) || lists=(packages.txt)
missing=()
for list in "${lists[@]}"; do
  while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done < "$here/$list"
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
