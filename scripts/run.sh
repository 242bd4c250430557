#!/usr/bin/env bash
# Installs what is missing, builds, writes the bundled samples and opens them in the tools:
# a MicroDOS hard-disk image browsed through Panoply and hdd.di in the terminal, then a plot
# in Quarto and a screen picture in Brindle. The two windows need a display; where there is
# none, run this under xvfb-run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
samples="$build/samples"
mkdir -p "$samples"
"$build/quarto/plt-samples" "$samples"
"$build/brindle/spr-sample" "$samples"
cat > "$samples/sample.manifest" <<'MANIFEST'
disks 2
data 1 0 README.TXT 300
data 1 0 GAME.COM 20000
data 1 3 TOOLS.COM 5000
data 2 0 DATA.BIN 40000
MANIFEST
"$build/hdd/mkhdd" "$samples/sample.manifest" "$samples/sample.hdd"
echo "== panoply-host: the sample hard-disk image, through the plug-in and hdd.di"
"$build/host/panoply-host" "$samples/sample.hdd" info ls cd disk_01 ls
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: to see Quarto and Brindle, run this again on a desktop or under 'xvfb-run -a'." >&2
  exit 0
fi
echo "== Quarto: $samples/sample85.plt (close the window to go on)"
"$build/quarto/Quarto" "$samples/sample85.plt"
echo "== Brindle: $samples/sample.spr (Right and Left step to sample.rmb and sample.scr; E or closing the window ends it)"
"$build/brindle/Brindle" "$samples/sample.spr"
