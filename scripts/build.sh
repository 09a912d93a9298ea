#!/usr/bin/env bash
# Configures and builds one variant: scripts/build.sh <build-folder> [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$1"
shift
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSIEVOMATIC_WERROR=ON "$@" >/dev/null
cmake --build "$dir"
