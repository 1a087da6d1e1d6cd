#!/usr/bin/env bash
# Fuzzes every reader for a while: builds the fuzz targets with clang
# (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) in build-fuzz/,
# runs each from a copy of its committed corpus for the given seconds, and
# prints one line per target:
#   <target> <executions> execs <n>/s new <entries> findings <n>
#
#   scripts/fuzz.sh [seconds per target] [target ...]
#
# FUZZ_JOBS (default 3) targets run at once. New corpus entries stay under
# build-fuzz/fuzz-run/<target>/; findings (crash-, leak-, timeout-, oom-
# files) are saved under build-fuzz/fuzz-findings/<target>/. A finding
# that is fixed goes into the target's committed corpus, where ctest replays
# it. Exits 1 when anything was found.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
jobs="${FUZZ_JOBS:-3}"
build=build-fuzz

mkdir -p "$build"
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
  -DVELL_FUZZ=ON -DVELL_SANITIZE=ON -DVELL_TESTS=OFF -DVELL_BENCH=OFF > "$build/fuzz-configure.log"
cmake --build "$build" --target fuzz_targets > "$build/fuzz-build.log" || {
  tail -n 30 "$build/fuzz-build.log"
  exit 2
}

run="$PWD/$build/fuzz-run"
findings="$PWD/$build/fuzz-findings"
mkdir -p "$run" "$findings"

# One target: a fresh copy of its corpus, then libFuzzer for $seconds.
fuzz_one() {
  local name="$1" corpus="$2" seconds="$3" bin="$4" run="$5" findings="$6"
  local work="$run/$name"
  rm -rf "$work" "$findings/$name"
  mkdir -p "$work/corpus" "$findings/$name"
  cp -r "$corpus"/. "$work/corpus/"
  local before
  before=$(find "$work/corpus" -type f | wc -l)
  local start end
  start=$(date +%s.%N)
  "$bin/$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/$name/" "$work/corpus" > "$work/log" 2>&1 || true
  end=$(date +%s.%N)
  local execs added found
  execs=$(awk '/stat::number_of_executed_units/ {print $2}' "$work/log" | tail -n 1)
  if [ -z "$execs" ]; then
    # Stopped by a finding before the final stats: the last status line.
    execs=$(grep -o '^#[0-9]*' "$work/log" | tail -n 1 | tr -d '#')
  fi
  execs="${execs:-0}"
  added=$(( $(find "$work/corpus" -type f | wc -l) - before ))
  found=$(find "$findings/$name" -type f | wc -l)
  awk -v n="$name" -v e="$execs" -v s="$start" -v t="$end" -v a="$added" -v f="$found" \
    'BEGIN { printf "%-24s %10d execs %7d/s  new %5d  findings %d\n", n, e, e / (t - s), a, f }'
}
export -f fuzz_one

list="$build/fuzz/targets.txt"
if [ $# -gt 0 ]; then
  pattern="^($(IFS='|'; echo "$*")) "
  list_text=$(grep -E "$pattern" "$list" || true)
else
  list_text=$(cat "$list")
fi
[ -n "$list_text" ] || { echo "no such fuzz target" >&2; exit 2; }

results=$(echo "$list_text" | xargs -P "$jobs" -L 1 bash -c \
  'fuzz_one "$0" "$1" "'"$seconds"'" "'"$PWD/$build/fuzz"'" "'"$run"'" "'"$findings"'"')
echo "$results" | sort
echo "findings are kept under $findings"
if echo "$results" | awk '$NF > 0 { bad = 1 } END { exit !bad }'; then
  exit 1
fi
