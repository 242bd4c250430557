#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs them.
#
#   scripts/fuzz.sh [TARGET] [SECONDS] [EXECUTIONS]
#                                        run every target (or one: "all" for every one) for SECONDS
#                                        (default 60) on all cores, or until EXECUTIONS inputs ran,
#                                        keeping each corpus in build-fuzz/corpus/TARGET between runs
#   FUZZ_NO_BUILD=1 scripts/fuzz.sh ...   the same without building first
#   scripts/fuzz.sh --build              only build (the test command does this when clang can fuzz)
#   scripts/fuzz.sh --list               the target names
#   scripts/fuzz.sh --ci TARGET SECONDS  one short run in a single process, as the test suite runs it;
#                                        exit code 77 (skipped) when the fuzz build is not there
# A finding stops the target: its input is saved in build-fuzz/findings/ and the command that
# reproduces it is printed. Turn the input into a fixture of the normal tests of the code it hit.
# FUZZ_WORK_DIR moves the corpora, findings, logs and scratch files elsewhere (each test suite
# keeps its own in its build tree, so two suites can run at once on one fuzz build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
work=${FUZZ_WORK_DIR:-$build}
testdata=${SHARED_TESTDATA_DIR:-$root/../shared/testdata}

can_fuzz() {
  command -v clang++ >/dev/null 2>&1 || return 1
  local dir; dir=$(mktemp -d)
  printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' >"$dir/t.cpp"
  clang++ -fsanitize=fuzzer,address,undefined "$dir/t.cpp" -o "$dir/t" >/dev/null 2>&1
  local ok=$?
  rm -rf "$dir"
  return $ok
}

build_fuzzers() {
  if ! can_fuzz; then
    echo "fuzz.sh: clang with its fuzzer runtime (Debian clang, libclang-rt-14-dev) is missing; nothing built"
    return 0
  fi
  # One build at a time: two test commands at once (the default and the sanitizer build) share
  # this tree, and the second waits here until the first has built.
  mkdir -p "$build"
  exec 9>"$build/.build-lock"
  flock 9
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_FUZZERS=ON -DBUILD_BENCHMARKS=OFF >/dev/null
  cmake --build "$build" --target fuzzers -j "${JOBS:-$(nproc)}"
  # The seeds are replaced only when they changed, so runs reading them are left alone.
  rm -rf "$build/seeds.new" && "$build/fuzz/fuzz-seeds" "$build/seeds.new"
  if [ -d "$build/seeds" ] && diff -rq "$build/seeds" "$build/seeds.new" >/dev/null; then
    rm -rf "$build/seeds.new"
  else
    rm -rf "$build/seeds.old"
    [ -d "$build/seeds" ] && mv "$build/seeds" "$build/seeds.old"
    mv "$build/seeds.new" "$build/seeds"
    rm -rf "$build/seeds.old"
  fi
  flock -u 9
  echo "fuzz.sh: fuzz targets built in $build: $(targets | tr '\n' ' ')"
}

targets() { (cd "$build/fuzz" && ls fuzz-* 2>/dev/null | sed -n 's/^fuzz-//p' | grep -vx seeds) || true; }

# Extra seed folders from the real files of ../shared/testdata, when that folder is there.
real_seeds() {
  case "$1" in
    spr) echo "$testdata/vec/spr" ;;
    scr | zxscr) echo "$testdata/vec/zxscr" ;;
    bmp | gif | pcx | png) echo "$testdata/codecs" ;;
  esac
}

run_one() {  # TARGET SECONDS WORKERS [EXECUTIONS]
  local t=$1 secs=$2 workers=$3 total=${4:-0}
  local exe="$build/fuzz/fuzz-$t" corpus="$work/corpus/$t" findings="$work/findings/$t"
  mkdir -p "$corpus" "$findings"
  local dirs=("$corpus")
  [ -d "$build/seeds/$t" ] && dirs+=("$build/seeds/$t")
  local real; real=$(real_seeds "$t")
  [ -n "$real" ] && [ -d "$real" ] && dirs+=("$real")
  # Plots are given room past the plot reader's 256 KiB block, so records straddle a block's end.
  local max_len=70000
  [ "$t" = plt ] && max_len=600000
  local opts=(-max_total_time="$secs" -artifact_prefix="$findings/" -print_final_stats=1 -max_len="$max_len"
              -timeout=10 -rss_limit_mb=2048)
  [ -f "$root/fuzz/dict/$t.dict" ] && opts+=(-dict="$root/fuzz/dict/$t.dict")
  local log="$work/logs/$t.log"
  mkdir -p "$work/logs"
  local status=0 started=$SECONDS
  # The targets' scratch files, and libFuzzer's own, go to a folder of this run inside the fuzz
  # tree, so a target that stops on a finding leaves nothing in the system's temporary folder.
  mkdir -p "$work/tmp"
  local scratch; scratch=$(mktemp -d "$work/tmp/$t.XXXXXX")
  if [ "$workers" -gt 1 ]; then
    [ "$total" -gt 0 ] && opts+=(-runs=$(((total + workers - 1) / workers)))
    mkdir -p "$work/logs/$t.jobs"
    (cd "$work/logs/$t.jobs" && TMPDIR="$scratch" "$exe" "${opts[@]}" -jobs="$workers" -workers="$workers" "${dirs[@]}" >"$log" 2>&1) || status=$?
    # The parent prints each job's log as that job ends; the job files are copies.
    rm -rf "$work/logs/$t.jobs"
  else
    TMPDIR="$scratch" "$exe" "${opts[@]}" "${dirs[@]}" >"$log" 2>&1 || status=$?
  fi
  rm -rf "$scratch"
  local execs cov
  execs=$(grep -h 'stat::number_of_executed_units' "$log" | awk '{s += $2} END {print s + 0}')
  cov=$(grep -ho 'ft: [0-9]*' "$log" | awk '{if ($2 > m) m = $2} END {print m + 0}')
  local found; found=$(ls "$findings" 2>/dev/null | head -1)
  if [ "$status" -ne 0 ] || [ -n "$found" ]; then
    echo "fuzz $t: FINDING after $execs executions" | tee -a "$work/logs/summary.txt"
    grep -h -m1 -A30 'ERROR: \|runtime error\|==ERROR\|deadly signal' "$log" | head -40 || tail -30 "$log"
    [ -n "$found" ] && echo "reproduce: $exe $findings/$found"
    return 1
  fi
  echo "fuzz $t: $execs executions in $((SECONDS - started)) s on $workers core(s), $cov features, no finding" | tee -a "$work/logs/summary.txt"
}

case "${1:-}" in
  --build) build_fuzzers ;;
  --list) targets ;;
  --ci)
    t=$2 secs=${3:-20}
    if [ ! -x "$build/fuzz/fuzz-$t" ]; then
      echo "fuzz $t: skipped, no fuzz build in $build (clang's fuzzer runtime missing?)"
      exit 77
    fi
    run_one "$t" "$secs" 1
    ;;
  *)
    # FUZZ_NO_BUILD=1 runs what is built (several runs of this script at once, on other targets).
    [ "${FUZZ_NO_BUILD:-0}" = 1 ] || build_fuzzers
    [ -x "$build/fuzz/fuzz-seeds" ] || exit 1
    secs=${2:-60}
    list=${1:-all}
    [ "$list" = all ] && list=$(targets)
    failed=0
    for t in $list; do run_one "$t" "$secs" "$(nproc)" "${3:-0}" || failed=1; done
    exit $failed
    ;;
esac
