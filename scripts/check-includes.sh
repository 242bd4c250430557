#!/usr/bin/env bash
# Checks that no source depends on a folder the architecture keeps it from:
#   - a core (quarto/core, brindle/core and the font generator that feeds Quarto's core) on a
#     shell (app/) or on Qt; the disk-image side, common/ and its own folders on Qt;
#   - quarto/ and brindle/ on each other or on anything of the disk-image side (platform/,
#     formatmodule/, pluginapi/, hdd/, host/, panoply/), and that side on either of them;
#   - hdd/ on panoply/ or host/; panoply/ (its shipped code) on host/;
#   - common/ on anything of ours, common/qt/ on anything but common/; platform/ on anything but
#     common/; formatmodule/ and pluginapi/ on nothing above them;
#   - shipped code on test support: tests/, testsupport/, benchsupport/, fuzz/ and tools/ (benchmarks and
#     sample writers) may use it, nothing else may (host/tools/panoply_host.cpp is shipped).
#
#   scripts/check-includes.sh [BUILD_DIR]   the tree's tracked sources, and, with BUILD_DIR (a
#                                           built Ninja tree of this checkout), every header
#                                           each compiled file really read, as the compiler
#                                           found it (ninja -t deps)
#   scripts/check-includes.sh --root DIR    the sources of DIR instead of this checkout
#   scripts/check-includes.sh --judge FILE  judges the pairs "SOURCE HEADER" of FILE (paths
#                                           relative to the checkout, or absolute for system
#                                           headers), one a line
# Each offence is printed as "SOURCE: HEADER: why"; the exit code is 1 when there is one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=""
judge=""
while [ $# -gt 0 ]; do
  case "$1" in
    --root) root=$(cd "$2" && pwd); shift 2 ;;
    --judge) judge=$2; shift 2 ;;
    -*) echo "usage: check-includes.sh [--root DIR] [--judge FILE] [BUILD_DIR]" >&2; exit 2 ;;
    *) build=$(cd "$1" && pwd); shift ;;
  esac
done

# The rules, over lines "SOURCE HEADER" (paths relative to the root; system headers absolute).
rules() {
  awk '
    function under(p, d) { return index(p, d) == 1 }
    function testish(p) {
      if (p == "host/tools/panoply_host.cpp") return 0
      return p ~ /(^|\/)(tests|testsupport|benchsupport|tools)\// || under(p, "fuzz/")
    }
    function side(p) {
      if (p ~ /^\//) return p ~ /\/qt6?\/|\/Qt[A-Za-z]*\// ? "qt" : "system"
      if (under(p, "quarto/")) return "quarto"
      if (under(p, "brindle/")) return "brindle"
      if (under(p, "common/qt/")) return "common_qt"
      if (under(p, "common/")) return "common"
      if (p ~ /^(platform|formatmodule|pluginapi|hdd|host|panoply)\//) return "disk"
      return "other"
    }
    function core(p) { return under(p, "quarto/core/") || under(p, "brindle/core/") || under(p, "quarto/fontgen/") }
    function shell(p) { return under(p, "quarto/app/") || under(p, "brindle/app/") }
    # Of the disk-image side, the folders each lower folder may use besides its own and common/.
    function lower_ok(s, h) {
      if (under(s, "platform/")) return under(h, "platform/")
      if (under(s, "formatmodule/")) return under(h, "formatmodule/") || under(h, "platform/")
      if (under(s, "pluginapi/")) return h ~ /^(pluginapi|formatmodule|platform)\//
      return 1
    }
    function why(s, h,   ss, sh) {
      ss = side(s); sh = side(h)
      if (sh == "system") return ""
      if (!testish(s) && testish(h)) return "shipped code uses test support"
      if (core(s) && (shell(h) || sh == "qt")) return "a core uses " (sh == "qt" ? "Qt" : "its shell")
      if (sh == "qt" && (ss == "disk" || ss == "common")) return "this side has no Qt"
      if ((ss == "quarto" && sh == "brindle") || (ss == "brindle" && sh == "quarto")) return "Quarto and Brindle share nothing"
      if ((ss == "quarto" || ss == "brindle") && sh == "disk") return "a desktop program uses the disk-image side"
      if (ss == "disk" && (sh == "quarto" || sh == "brindle")) return "the disk-image side uses a desktop program"
      if (under(s, "hdd/") && (under(h, "panoply/") || under(h, "host/"))) return "the format module uses the plug-in or the host"
      if (under(s, "panoply/") && !testish(s) && under(h, "host/")) return "the plug-in uses the host"
      if (ss == "common" && sh != "common" && sh != "other") return "the file library uses something of ours"
      if (ss == "common_qt" && sh != "common" && sh != "common_qt" && sh != "qt" && sh != "other") return "the file library uses something of ours"
      if (ss == "disk" && sh == "disk" && !lower_ok(s, h)) return "a lower folder uses one above it"
      return ""
    }
    NF >= 2 {
      w = why($1, $2)
      if (w != "") { print $1 ": " $2 ": " w; bad = 1 }
    }
    END { exit bad }
  '
}

if [ -n "$judge" ]; then
  rules <"$judge"
  exit $?
fi

cd "$root"
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  files=$(git -C "$root" ls-files -- '*.cpp' '*.h')
else
  files=$(find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -type f -print | sed 's|^\./||')
fi

status=0
# What the text says: a quoted include that climbs out of the include roots (they are what the
# build checks), and a Qt header named where there is no Qt. The includes are judged as written
# ("<QString>" stands for a Qt header), so headers no compiled file reads are checked too.
if [ -n "$files" ]; then
  text=$(printf '%s\n' $files | xargs awk '
    /^[ \t]*#[ \t]*include[ \t]*"/ {
      name = $0; sub(/^[^"]*"/, "", name); sub(/".*$/, "", name)
      if (name ~ /(^|\/)\.\.\// || name ~ /^\//) print "climbs " FILENAME ": " name ": an include that climbs out of the include roots"
      next
    }
    /^[ \t]*#[ \t]*include[ \t]*<Q/ {
      name = $0; sub(/^[^<]*</, "", name); sub(/>.*$/, "", name)
      print FILENAME " /usr/include/qt6/" name
    }
  ')
  if printf '%s\n' "$text" | grep '^climbs ' | sed 's/^climbs //' | grep .; then status=1; fi
  printf '%s\n' "$text" | { grep -v '^climbs ' || true; } | rules || status=1
fi

# What the compiler read: each object's dependency record, as Ninja keeps it, names its source
# first and then every header the compiler opened for it.
if [ -n "$build" ]; then
  if [ ! -f "$build/build.ninja" ] || [ ! -f "$build/.ninja_deps" ]; then
    echo "check-includes.sh: $build is not a built Ninja tree" >&2
    exit 2
  fi
  pairs=$(ninja -C "$build" -t deps | awk -v root="$root/" -v build="$build/" '
    /^[^ \t]/ { s = ""; first = 1; next }
    /^[ \t]+/ {
      p = $1
      if (first) { first = 0; s = (index(p, root) == 1 && index(p, build) != 1) ? substr(p, length(root) + 1) : ""; next }
      if (s == "" || index(p, build) == 1) next
      if (index(p, root) == 1) p = substr(p, length(root) + 1)
      print s " " p
    }
  ' | sort -u)
  if [ -z "$pairs" ]; then
    echo "check-includes.sh: $build holds no dependency records (is it built?)" >&2
    exit 2
  fi
  printf '%s\n' "$pairs" | rules || status=1
fi

[ $status = 0 ] && echo "check-includes.sh: no include against the architecture"
exit $status
