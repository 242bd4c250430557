#!/usr/bin/env bash
# Installs what is missing, builds, writes the bundled samples and opens them in the tools:
# a MicroDOS hard-disk image browsed through Panoply and hdd.di in the terminal, then a plot
# in Quarto and a screen picture in Brindle. The two windows wait until they are closed, so they
# open only on a display someone sees; elsewhere this ends after the terminal part.
set -euo pipefail

# A display someone sees: Wayland, a remote or forwarded X display, or a local X server other
# than a virtual frame buffer (Xvfb, which xvfb-run starts: its windows nobody sees or closes).
display_seen() {
  [ -n "${WAYLAND_DISPLAY:-}" ] && return 0
  [ -n "${DISPLAY:-}" ] || return 1
  case "$DISPLAY" in
    :* | unix:*) ;;
    *) return 0 ;;
  esac
  local number=${DISPLAY#*:}
  number=${number%%.*}
  local cmdline
  for cmdline in /proc/[0-9]*/cmdline; do
    tr '\0' ' ' <"$cmdline" 2>/dev/null | grep -Eq "^([^ ]*/)?Xvfb :$number( |$)" && return 1
  done
  return 0
}

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
if ! display_seen; then
  echo "No display that anyone sees (none, or a virtual frame buffer such as xvfb-run's): Quarto and Brindle"
  echo "are not opened. To see them, run this again on a desktop, or through a forwarded display (ssh -X)."
  echo "The samples are in $samples."
  exit 0
fi
echo "== Quarto: $samples/sample85.plt (close the window to go on)"
"$build/quarto/Quarto" "$samples/sample85.plt"
echo "== Brindle: $samples/sample.spr (Right and Left step to sample.rmb and sample.scr; E or closing the window ends it)"
"$build/brindle/Brindle" "$samples/sample.spr"
