#!/usr/bin/env bash
# Builds Quibrel (Release) and starts the window from its program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUIBREL_TESTS=OFF >/dev/null
cmake --build build/release
exec build/release/Quibrel/quibrel "$@"
