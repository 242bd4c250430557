#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless. SANITIZE=1 runs them under ASan+UBSan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Test builds read the fault switch and the stepping clock from the environment; shipped ones never do.
bash "$root/scripts/build.sh" -DDESKTOOLS_TEST_HOOKS=ON
if [ "${SANITIZE:-0}" = 1 ]; then build=${BUILD_DIR:-$root/build-asan}; else build=${BUILD_DIR:-$root/build}; fi
# The fuzz targets (clang) run briefly as tests; without clang's fuzzer runtime those tests are skipped.
# Their tree (build-fuzz/) is shared by the default and the sanitizer suite; the log is this suite's.
if ! bash "$root/scripts/fuzz.sh" --build >"$build/fuzz-build.log" 2>&1; then
  tail -40 "$build/fuzz-build.log"
  echo "test.sh: building the fuzz targets failed" >&2
  exit 1
fi
tail -1 "$build/fuzz-build.log"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$build/xdg-runtime"
export XDG_CONFIG_HOME="$build/xdg-config"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cd "$build"
# The short fuzz runs first, their results shown; then every other test, so that CTest's summary of
# the whole suite comes last.
status=0
rm -f "$build/fuzz-runs/logs/summary.txt"
ctest -R '^fuzz_' --output-on-failure -j "${JOBS:-$(nproc)}" --timeout 600 || status=1
cat "$build/fuzz-runs/logs/summary.txt" 2>/dev/null || true
ctest -E '^fuzz_' --output-on-failure -j "${JOBS:-$(nproc)}" --timeout 600 || status=1
exit $status
