#!/usr/bin/env bash
# Installs what is missing, builds, writes the bundled samples and opens them in the tools.
# The windows need a display; where there is none, run it under xvfb-run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
samples="$build/samples"
mkdir -p "$samples"
[ -x "$build/quarto/plt-samples" ] && "$build/quarto/plt-samples" "$samples"
[ -x "$build/brindle/spr-sample" ] && "$build/brindle/spr-sample" "$samples"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Built. No display found: run this again on a desktop, or under 'xvfb-run -a'." >&2
  exit 0
fi
if [ -x "$build/quarto/Quarto" ] && [ -f "$samples/sample85.plt" ]; then
  "$build/quarto/Quarto" "$samples/sample85.plt"
fi
if [ -x "$build/brindle/Brindle" ] && [ -f "$samples/sample.spr" ]; then
  "$build/brindle/Brindle" "$samples/sample.spr"
fi
