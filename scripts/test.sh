#!/usr/bin/env bash
# Builds Quibrel with warnings as errors and runs the whole suite, then builds it again with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs the suite a second time. The suite runs
# inside a private network namespace with only loopback, so no test can reach a real network.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-dependencies.sh

jobs=$(nproc)

run_suite() {  # BUILD_DIR
  local build_dir=$1
  local as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(--user --map-root-user)
  unshare "${as_root[@]}" --net --fork -- sh -c '
    ip link set lo up
    cd "$1" && ctest --output-on-failure --timeout 300 -j "$2"' sh "$build_dir" "$jobs"
}

cmake -S . -B build/check -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIBREL_WERROR=ON >/dev/null
cmake --build build/check -j "$jobs"
run_suite build/check

if [ "${QUIBREL_SKIP_SANITIZERS:-0}" != 1 ]; then
  cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUIBREL_WERROR=ON \
    -DQUIBREL_SANITIZE=ON >/dev/null
  cmake --build build/sanitize -j "$jobs"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp" run_suite build/sanitize
fi
