#!/usr/bin/env bash
# Measures verko-cli on two whole folders (300 pairs of 2,000-line files) with one pair at a
# time (--jobs 1) and with its default (one pair per core), against diff -r -q and diff -r on
# the same folders, in one hyperfine run; then the ratio of the default to --jobs 1.
#
# Usage: bench/folders.sh [--cli PATH] [--warmup N] [--min-runs N]
set -euo pipefail

usage() {
  sed -n '6p' "$0" | sed 's/^# \{0,1\}//'
}

cd "$(dirname "$0")/.."
root=$PWD
build=build
bench=$build/bench
folders=$bench/folders
results=$bench/results
cli=""
warmup=1
min_runs=5

while [ $# -gt 0 ]; do
  case $1 in
    --cli | --warmup | --min-runs)
      [ $# -ge 2 ] || { usage >&2; exit 2; }
      case $1 in
        --cli) cli=$2 ;;
        --warmup) warmup=$2 ;;
        --min-runs) min_runs=$2 ;;
      esac
      shift 2
      ;;
    -h | --help)
      usage
      exit 0
      ;;
    *)
      echo "folders.sh: unknown argument $1" >&2
      usage >&2
      exit 2
      ;;
  esac
done

scripts/install-deps.sh hyperfine jq diffutils

cmake -S . -B "$build" -G Ninja >/dev/null
if [ -n "$cli" ]; then
  cmake --build "$build" --target verko-bench-gen >&2
  cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
else
  cmake --build "$build" --target verko-cli verko-bench-gen >&2
  cli=$root/$build/verko-cli
fi

mkdir -p "$folders" "$results" "$folders/work"
"$bench/verko-bench-gen" --folders "$folders"
old=$folders/old
new=$folders/new
cores=$(nproc)

# One run outside hyperfine: every pair must be compared (exit 1: the files differ).
rc=0
"$cli" --quiet --work-dir "$folders/work" "$old" "$new" "$folders/result" >"$results/folders.out" ||
  rc=$?
if [ "$rc" -gt 1 ]; then
  echo "folders.sh: verko-cli failed (exit $rc):" >&2
  cat "$results/folders.out" >&2
  exit 1
fi
cat "$results/folders.out" >&2

json=$results/folders.json
hyperfine -N --ignore-failure --warmup "$warmup" --min-runs "$min_runs" --export-json "$json" \
  --command-name "verko-cli --jobs 1" --command-name "verko-cli (default, $cores cores)" \
  --command-name "diff -r -q" --command-name "diff -r" \
  "$(printf '%q ' "$cli" --quiet --jobs 1 --work-dir "$folders/work" "$old" "$new" "$folders/result1")" \
  "$(printf '%q ' "$cli" --quiet --work-dir "$folders/work" "$old" "$new" "$folders/result")" \
  "$(printf '%q ' diff -r -q "$old" "$new")" \
  "$(printf '%q ' diff -r "$old" "$new")" >&2

if ! jq -e '[.results[].exit_codes[] | select(. > 1)] | length == 0' "$json" >/dev/null; then
  echo "folders.sh: a timed run failed; see $json" >&2
  exit 1
fi

echo
echo "verko-cli: $cli; $(diff --version | head -n 1); $cores cores"
echo "300 pairs of 2,000-line files; mean wall and CPU (user + system) times by hyperfine."
echo
jq -r '.results[] | [.command, (.mean * 1000), ((.user + .system) * 1000)] | @tsv' "$json" |
  awk -F '\t' 'BEGIN { printf "%-32s %10s %10s\n", "command", "wall ms", "CPU ms" }
    { printf "%-32s %10.0f %10.0f\n", $1, $2, $3; wall[NR] = $2 }
    END { printf "\ndefault / --jobs 1 (wall): %.2f (target at most 0.6 on two cores)\n",
                 wall[2] / wall[1] }'
