#!/usr/bin/env bash
# Builds every libFuzzer target and runs each in turn, one at a time under
# nice, with scratch corpora seeded from the committed ones.
#
#   bash fuzz/run_all.sh [SECONDS_PER_TARGET]     (default 600)
#   RUNS=10000000 bash fuzz/run_all.sh            (a number of runs instead)
#
# A target fuzz_NAME takes fuzz/corpus_NAME as its corpus when that folder
# exists; the targets over the encoder's listings share fuzz/corpus and
# fuzz/listing.dict. Crashes are left as crash-* files in build-fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
cmake --preset fuzz > /dev/null
# Every libFuzzer target the build defines (the replay programs are CTest's).
targets=$(cmake --build build-fuzz --target help | grep -o '\bfuzz_[a-z0-9_]*' | grep -v '_replay$\|_autogen' | sort -u)
nice cmake --build --preset fuzz --target $targets
mkdir -p build-fuzz/findings
status=0
for name in $targets; do
  target=$(find build-fuzz -name "$name" -type f -perm -u+x | head -n 1)
  short=${name#fuzz_}
  corpus=fuzz/corpus dict=fuzz/listing.dict
  if [ -d "fuzz/corpus_$short" ]; then
    corpus=fuzz/corpus_$short dict=""
  fi
  [ -f "fuzz/$short.dict" ] && dict=fuzz/$short.dict
  scratch=build-fuzz/corpus/$short
  mkdir -p "$scratch"
  limit=(-max_total_time="$seconds")
  [ -n "${RUNS:-}" ] && limit=(-runs="$RUNS")
  log=build-fuzz/findings/$name.log
  echo "== $name: corpus $corpus${dict:+, dictionary $dict}; log $log"
  if ! (cd build-fuzz/findings &&
    ASAN_OPTIONS=malloc_context_size=0 nice -n 19 "../../$target" "${limit[@]}" -max_len=4096 \
      -print_final_stats=1 ${dict:+-dict=../../$dict} "../../$scratch" "../../$corpus") > "$log" 2>&1; then
    status=1
    echo "$name found a fault"
  fi
  grep -E "^(stat::number_of_executed_units|stat::average_exec_per_sec|==[0-9]+==ERROR|SUMMARY)" "$log" || true
done
exit $status
