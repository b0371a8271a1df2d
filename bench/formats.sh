#!/usr/bin/env bash
# Times each result format (--format) against the report on the code and prose pairs of
# 2,000 and 32,000 lines: the whole verko-cli run, median of N runs, and its ratio to the
# report's. Formats that this build cannot write are left out.
# Usage: bench/formats.sh [--runs N]   (default 7 runs each)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=7
if [ "${1:-}" = "--runs" ]; then runs=$2; fi
build=build
bench=$build/bench
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target verko-cli verko-bench-gen >&2
mkdir -p "$bench/work" "$bench/formats"
[ -f "$bench/code-2000.old.txt" ] || "$build/bench/verko-bench-gen" "$bench" >/dev/null
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# Milliseconds of one run of the command given, whole process.
time_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || [ $? -eq 1 ]
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
printf 'pair\tformat\tresult bytes\tmedian ms\tratio to report\n'
for pair in code-2000 prose-2000 code-32000 prose-32000; do
  old=$bench/$pair.old.txt new=$bench/$pair.new.txt
  reportMs=
  for format in report html xlsx unified json; do
    result=$bench/formats/$pair.$format
    cli=("$build/verko-cli" --quiet --work-dir "$bench/work" --format "$format" "$old" "$new" "$result")
    "${cli[@]}" >/dev/null 2>&1 || [ $? -eq 1 ] || continue  # not written by this build
    times=()
    for _ in $(seq "$runs"); do times+=("$(time_ms "${cli[@]}")"); done
    ms=$(median "${times[@]}")
    [ -n "$reportMs" ] || reportMs=$ms
    printf '%s\t%s\t%d\t%d\t%s\n' "$pair" "$format" "$(stat -c %s "$result")" "$ms" \
      "$(awk -v m="$ms" -v r="$reportMs" 'BEGIN { printf "%.2f", m / r }')"
  done
done
