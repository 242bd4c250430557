#!/usr/bin/env bash
# Configures and builds the whole tree. BUILD_DIR and SANITIZE (1 = ASan+UBSan) choose the variant.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
san=${SANITIZE:-0}
if [ "$san" = 1 ]; then dflt="$root/build-asan"; else dflt="$root/build"; fi
build=${BUILD_DIR:-$dflt}
# Options given to this script come last and win: the test command adds -DDESKTOOLS_TEST_HOOKS=ON.
cmake -S "$root" -B "$build" -G Ninja -DSANITIZE=$([ "$san" = 1 ] && echo ON || echo OFF) \
  -DDESKTOOLS_TEST_HOOKS=OFF "$@"
cmake --build "$build" -j "${JOBS:-$(nproc)}"
