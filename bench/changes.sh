#!/usr/bin/env bash
# Times the changed-character marks against the compare run itself, on pairs in which every
# line of the new file is its old line with a few characters replaced (2,000 and 32,000
# lines, code and prose), marking words (ICU) and marking characters. Target: at 32,000 lines
# the marks of the whole report by characters cost at most 10 % of the run's time. Last, the
# plain run's start-up: the libraries it loads (LD_DEBUG=files), which must not include ICU.
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
# Wall and CPU (user + system) milliseconds of one run of the command given.
TIMEFORMAT='%3R %3U %3S'
run_ms() {
  local times
  times=$({ time "$@" >/dev/null 2>&1 || [ $? -eq 1 ]; } 2>&1)
  awk '{ printf "%d %d\n", 1000 * $1, 1000 * ($2 + $3) }' <<<"$times"
}
printf 'pair\tunits\tbody lines\tlines marked\trun ms (wall / CPU)\tmarks ms (wall / CPU)\tmarks / run (wall / CPU)\n'
for pair in changed-code-2000 changed-prose-2000 changed-code-32000 changed-prose-32000; do
  old=$bench/$pair.old.txt new=$bench/$pair.new.txt report=$bench/$pair.report.txt
  wall=() cpu=()
  for _ in $(seq "$runs"); do
    read -r w c < <(run_ms "$build/verko-cli" --quiet --work-dir "$bench/work" "$old" "$new" "$report")
    wall+=("$w") cpu+=("$c")
  done
  runWall=$(median "${wall[@]}") runCpu=$(median "${cpu[@]}")
  for units in word char; do
    read -r marksWall marksCpu lines marked _ < <("$build/bench/verko-bench-changes" "$report" "$runs" "$units")
    printf '%s\t%s\t%d\t%d\t%d / %d\t%s / %s\t%s %% / %s %%\n' "$pair" "$units" "$lines" "$marked" \
      "$runWall" "$runCpu" "$marksWall" "$marksCpu" \
      "$(awk -v m="$marksWall" -v r="$runWall" 'BEGIN { printf "%.1f", 100 * m / r }')" \
      "$(awk -v m="$marksCpu" -v r="$runCpu" 'BEGIN { printf "%.1f", 100 * m / r }')"
  done
done
pair=$bench/changed-prose-32000
printf '\nlibraries of a plain run: %s\n' "$(LD_DEBUG=files "$build/verko-cli" --quiet --work-dir \
  "$bench/work" "$pair.old.txt" "$pair.new.txt" "$pair.report.txt" 2>&1 |
  grep -o 'file=[^ ]*' | sort -u | sed 's/file=//' | tr '\n' ' ' || true)"
