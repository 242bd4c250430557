#!/usr/bin/env bash
# The include-rule check itself: a table of dependencies it must refuse or let pass, and a small
# tree whose texts break the rules in the ways only the text shows.
set -euo pipefail
check="$(cd "$(dirname "$0")/.." && pwd)/check-includes.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# SOURCE HEADER VERDICT (bad: the check must name it; ok: it must not).
while read -r source header verdict; do
  [ -z "$source" ] && continue
  printf '%s %s\n' "$source" "$header" >"$work/pair"
  if out=$(bash "$check" --judge "$work/pair"); then got=ok; else got=bad; fi
  if [ "$got" != "$verdict" ]; then
    echo "FAIL: $source -> $header: expected $verdict, got $got ${out:+($out)}"
    failed=1
  fi
done <<'TABLE'
quarto/core/plot_scan.cpp quarto/app/include/app/form1.h bad
quarto/core/plot_scan.cpp /usr/include/x86_64-linux-gnu/qt6/QtCore/qstring.h bad
brindle/core/session.cpp brindle/app/include/app/mainform.h bad
quarto/fontgen/pcad_fontgen.cpp quarto/app/include/app/canvas_qt.h bad
quarto/app/form1.cpp /usr/include/x86_64-linux-gnu/qt6/QtWidgets/qwidget.h ok
quarto/app/form1.cpp quarto/core/include/core/plot_scan.h ok
quarto/app/form1.cpp brindle/core/include/core/spr.h bad
brindle/core/spr.cpp quarto/core/include/core/plt_format.h bad
quarto/tests/core/scan_test.cpp brindle/core/include/core/spr.h bad
quarto/core/plot_scan.cpp platform/include/platform/files.h bad
brindle/app/mainform.cpp hdd/core/include/hdd/hdd_image.h bad
panoply/src/panel.cpp quarto/core/include/core/utf8.h bad
hdd/src/module.cpp panoply/include/panoply/state.h bad
hdd/core/hdd_image.cpp host/include/host/host.h bad
hdd/src/module.cpp formatmodule/include/formatmodule/interface.h ok
panoply/src/panel.cpp host/include/host/host.h bad
panoply/tests/plugin_host_test.cpp host/include/host/host.h ok
host/src/host.cpp panoply/include/panoply/state.h ok
host/src/host.cpp /usr/include/x86_64-linux-gnu/qt6/QtCore/qstring.h bad
common/src/utf8.cpp platform/include/platform/files.h bad
common/src/utf8.cpp /usr/include/c++/12/string ok
common/qt/src/file_dialog.cpp common/include/common/utf8.h ok
common/qt/src/file_dialog.cpp quarto/app/include/app/form1.h bad
common/qt/tests/file_dialog_test.cpp testsupport/include/testsupport/temp_dir.h ok
platform/src/files.cpp common/include/common/open_file.h ok
platform/src/files.cpp formatmodule/include/formatmodule/interface.h bad
formatmodule/tests/records_test.cpp pluginapi/include/pluginapi/plugin_api.h bad
pluginapi/include/pluginapi/plugin_api.h formatmodule/include/formatmodule/interface.h ok
quarto/core/plot_scan.cpp quarto/testsupport/include/testsupport/plt_writer.h bad
hdd/src/module.cpp hdd/tests/test_support.h bad
brindle/app/mainform.cpp brindle/tools/scr_pack.h bad
host/tools/panoply_host.cpp testsupport/include/testsupport/temp_dir.h bad
host/tools/panoply_host.cpp host/cli/include/cli/session.h ok
quarto/tests/core/scan_test.cpp quarto/testsupport/include/testsupport/plt_writer.h ok
quarto/tools/bench_scan.cpp quarto/testsupport/include/testsupport/bench_plot.h ok
hdd/tools/mkhdd.cpp hdd/testsupport/image/include/hddtest/image_builder.h ok
hdd/benchsupport/src/bench_images.cpp hdd/testsupport/image/include/hddtest/image_builder.h ok
hdd/src/module.cpp hdd/benchsupport/include/hddbench/bench_images.h bad
fuzz/seeds.cpp brindle/core/include/core/spr.h ok
fuzz/seeds.cpp quarto/core/include/core/plt_format.h ok
TABLE

# Texts: an include that climbs out of the roots, and Qt named in a core header nothing compiles.
mkdir -p "$work/tree/quarto/core" "$work/tree/quarto/app" "$work/tree/hdd/core"
printf '#include "../app/form1.h"\n' >"$work/tree/quarto/core/a.cpp"
printf '#pragma once\n#include <QString>\n' >"$work/tree/quarto/core/b.h"
printf '#include <QWidget>\n#include "core/b.h"\n' >"$work/tree/quarto/app/c.cpp"
printf '#include "hdd/hdd_image.h"\n#include <queue>\n' >"$work/tree/hdd/core/d.cpp"
out=$(bash "$check" --root "$work/tree") && {
  echo "FAIL: the text check passed a tree that breaks the rules"
  failed=1
}
for expected in "quarto/core/a.cpp: ../app/form1.h" "quarto/core/b.h: /usr/include/qt6/QString"; do
  if ! grep -qF "$expected" <<<"$out"; then
    echo "FAIL: the text check did not name $expected"
    failed=1
  fi
done
if grep -qE 'app/c\.cpp|hdd/core/d\.cpp' <<<"$out"; then
  echo "FAIL: the text check named an include that keeps the rules: $out"
  failed=1
fi

[ $failed = 0 ] && echo "check_includes_test: every case as expected"
exit $failed
