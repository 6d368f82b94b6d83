#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each for a bounded time, several
# at once; any crash, leak, sanitizer report, time-out or failed check fails the run and leaves
# the input in fuzz-out/.
#
#   scripts/fuzz.sh                      every target, 30 s each, 4 at a time
#   scripts/fuzz.sh --time 600 ndx       one target for ten minutes
#   scripts/fuzz.sh --jobs 8 --time 60   all, 8 at a time
#   scripts/fuzz.sh --seeds              rewrite the generated seeds in fuzz/corpus/
#
# New inputs that reach new code go to fuzz-out/corpus/<target>; the seeds in fuzz/corpus/
# are read, never written.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=30
jobs=4
seeds=false
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --time) seconds=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --seeds) seeds=true; shift ;;
    *) targets+=("$1"); shift ;;
  esac
done

CC=clang CXX=clang++ scripts/configure.sh build-fuzz -DVUKO_FUZZ=ON -DVUKO_BUILD_TESTS=OFF \
  -DVUKO_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" >/dev/null
cmake --build build-fuzz

if $seeds; then
  build-fuzz/fuzz/make_seeds fuzz/corpus
  exit 0
fi
if [ ${#targets[@]} -eq 0 ]; then
  for f in build-fuzz/fuzz/fuzz_*; do targets+=("${f##*/fuzz_}"); done
fi

out=$root/fuzz-out
mkdir -p "$out/corpus"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"

run_one() {
  local t=$1
  mkdir -p "$out/corpus/$t"
  rm -f "$out/$t-"*
  if "$root/build-fuzz/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 \
      -max_len=16384 -print_final_stats=1 -artifact_prefix="$out/$t-" \
      "$out/corpus/$t" "$root/fuzz/corpus/$t" >"$out/$t.log" 2>&1; then
    echo "fuzz $t: $(grep -E '^#[0-9]+.*DONE' "$out/$t.log" | tail -1)"
  else
    echo "fuzz $t: FINDING (input and log in $out/)"
    tail -40 "$out/$t.log"
    return 1
  fi
}
export -f run_one
export out root seconds
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one {}'
