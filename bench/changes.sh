#!/usr/bin/env bash
# Times the changed-character marks against the compare run itself, on pairs in which every
# line of the new file is its old line with a few characters replaced (2,000 and 32,000
# lines, code and prose). Target: at 32,000 lines the marks of the whole report cost at most
# 10 % of the run's time.
# Usage: bench/changes.sh [--runs N]   (default 5 runs each; prints the medians)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=5
if [ "${1:-}" = "--runs" ]; then runs=$2; fi
build=build
bench=$build/bench/changes
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target verko-cli verko-bench-gen verko-bench-changes >&2
mkdir -p "$bench/work"
"$build/bench/verko-bench-gen" --changed "$bench"
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# Milliseconds of one run of the command given, whole process.
time_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null || [ $? -eq 1 ]
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
printf 'pair\tbody lines\tlines marked\trun ms\tmarks ms\tmarks / run\t--color=never - ms\t--color=always - ms\n'
for pair in changed-code-2000 changed-prose-2000 changed-code-32000 changed-prose-32000; do
  old=$bench/$pair.old.txt new=$bench/$pair.new.txt report=$bench/$pair.report.txt
  cli=("$build/verko-cli" --quiet --work-dir "$bench/work")
  run=() plain=() colored=()
  for _ in $(seq "$runs"); do
    run+=("$(time_ms "${cli[@]}" "$old" "$new" "$report")")
    plain+=("$(time_ms "${cli[@]}" --color=never "$old" "$new" -)")
    colored+=("$(time_ms "${cli[@]}" --color=always "$old" "$new" -)")
  done
  read -r marks lines marked _ < <("$build/bench/verko-bench-changes" "$report" "$runs")
  runMs=$(median "${run[@]}")
  printf '%s\t%d\t%d\t%d\t%s\t%s %%\t%d\t%d\n' "$pair" "$lines" "$marked" "$runMs" "$marks" \
    "$(awk -v m="$marks" -v r="$runMs" 'BEGIN { printf "%.1f", 100 * m / r }')" \
    "$(median "${plain[@]}")" "$(median "${colored[@]}")"
done
