#!/usr/bin/env bash
# Installs what is needed, builds the program and runs it with the given arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
exec build/src/app/sievomatic "$@"
