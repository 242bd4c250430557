#!/usr/bin/env bash
# Checks the code style: every C++ source git tracks must be as clang-format (the root
# .clang-format) leaves it. Names each file it would change and fails; `clang-format -i FILE`
# mends one. Exit code 77 (skipped) outside a git checkout.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
if ! command -v clang-format >/dev/null 2>&1; then
  echo "check-format.sh: clang-format is missing (scripts/deps.sh installs it)" >&2
  exit 1
fi
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "check-format.sh: not a git checkout, so no list of tracked sources: skipped"
  exit 77
fi
mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
if [ ${#files[@]} -eq 0 ]; then
  echo "check-format.sh: no tracked sources found" >&2
  exit 1
fi
report=$(clang-format --dry-run -- "${files[@]}" 2>&1)
if [ -n "$report" ] && ! grep -q 'code should be clang-formatted' <<<"$report"; then
  echo "$report" >&2
  echo "check-format.sh: clang-format failed" >&2
  exit 1
fi
changed=$(sed -n 's/^\(.*\):[0-9]*:[0-9]*: [a-z]*: code should be clang-formatted.*/\1/p' <<<"$report" | sort -u)
if [ -n "$changed" ]; then
  while IFS= read -r f; do echo "clang-format would change: ${f#"$root"/}"; done <<<"$changed"
  echo "check-format.sh: $(wc -l <<<"$changed") of ${#files[@]} sources are not in the code style; run clang-format -i on them"
  exit 1
fi
echo "check-format.sh: all ${#files[@]} tracked sources are in the code style"
