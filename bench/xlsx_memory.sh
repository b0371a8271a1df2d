#!/usr/bin/env bash
# Writes the Excel 新旧対照表 of the 32,000-line prose pair under address-space limits
# (ulimit -v) from 64 to 96 MB in steps of 2 MB, a few runs at each, and counts how the runs
# ended. Too little memory must end a run with its message (exit 2), never with a signal:
# the script fails when any run ended otherwise than with 0, 1 or 2.
# Usage: bench/xlsx_memory.sh [--runs N] [--from MB] [--to MB]   (default 3 runs, 64 to 96)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=3 from=64 to=96
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2 ;;
    --from) from=$2 ;;
    --to) to=$2 ;;
    *) echo "usage: $0 [--runs N] [--from MB] [--to MB]" >&2; exit 2 ;;
  esac
  shift 2
done
build=build
bench=$build/bench
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target verko-cli verko-bench-gen >&2
mkdir -p "$bench/work" "$bench/xlsx-memory"
[ -f "$bench/pairs.tsv" ] || "$build/bench/verko-bench-gen" "$bench" >/dev/null
out=$bench/xlsx-memory
bad=0
printf 'limit MB\texit statuses\n'
for mb in $(seq "$from" 2 "$to"); do
  statuses=()
  for _ in $(seq "$runs"); do
    # A subshell of its own holds the limit; no core file is left by a crash.
    set +e
    (
      ulimit -c 0
      ulimit -v $((mb * 1024))
      exec "$build/verko-cli" --quiet --work-dir "$bench/work" --format xlsx \
        "$bench/prose-32000.old.txt" "$bench/prose-32000.new.txt" "$out/table.xlsx"
    ) >/dev/null 2>"$out/stderr.txt"
    status=$?
    set -e
    statuses+=("$status")
    case $status in
      0 | 1 | 2) ;;
      *)
        bad=$((bad + 1))
        echo "exit $status at $mb MB: $(head -c 300 "$out/stderr.txt")" >&2
        ;;
    esac
  done
  printf '%s\t%s\n' "$mb" "${statuses[*]}"
done
if [ "$bad" -gt 0 ]; then
  echo "$bad run(s) ended otherwise than with 0, 1 or 2" >&2
  exit 1
fi
