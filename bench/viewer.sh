#!/usr/bin/env bash
# Times the report viewer from its start to the first painted rows, on the full reports of
# the 32,000-line pairs of bench/run.sh (32,000 lines a side). Target: under half a second.
# Usage: bench/viewer.sh [--runs N]   (default 10 runs per report; prints the median)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=10
if [ "${1:-}" = "--runs" ]; then runs=$2; fi
build=build
bench=$build/bench
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target verko-cli verko-bench-gen verko-bench-viewer >&2
mkdir -p "$bench/work" "$bench/viewer"
[ -f "$bench/pairs.tsv" ] || "$build/bench/verko-bench-gen" "$bench" >/dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
printf 'report\tbody lines\tmedian ms (in program)\tmedian ms (whole process)\n'
for pair in code-32000 prose-32000 adv-reversed; do
  report=$bench/viewer/$pair.txt
  "$build/verko-cli" --quiet --work-dir "$bench/work" \
    "$bench/$pair.old.txt" "$bench/$pair.new.txt" "$report" || [ $? -eq 1 ]
  inner=() outer=()
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    ms=$("$build/bench/verko-bench-viewer" "$report")
    end=$(date +%s%N)
    inner+=("$ms")
    outer+=("$(( (end - start) / 100000 ))")
  done
  median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
  lines=$(($(wc -l <"$report") - 22))
  printf '%s\t%d\t%s\t%s.%s\n' "$pair" "$lines" "$(median "${inner[@]}")" \
    "$(( $(median "${outer[@]}") / 10 ))" "$(( $(median "${outer[@]}") % 10 ))"
done
