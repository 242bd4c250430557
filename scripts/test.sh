#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless. SANITIZE=1 runs them under ASan+UBSan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
if [ "${SANITIZE:-0}" = 1 ]; then build=${BUILD_DIR:-$root/build-asan}; else build=${BUILD_DIR:-$root/build}; fi
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$build/xdg-runtime"
export XDG_CONFIG_HOME="$build/xdg-config"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cd "$build"
ctest --output-on-failure -j "${JOBS:-$(nproc)}" --timeout 600
