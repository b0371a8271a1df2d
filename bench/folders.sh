#!/usr/bin/env bash
# Measures verko-cli on three whole-folder cases against diff -r and git diff --no-index
# --histogram on the same folders, in one hyperfine run per case: this project's own source
# tree against a copy with 4 edited files (-r), a copy of /usr/include against a copy with 20
# edited files (-r), and 300 pairs of 2,000-line files that all differ (5 % edits), each also
# with --jobs 1. Then a table judged against the targets.
#
# Usage: bench/folders.sh [--cli PATH] [--warmup N] [--min-runs N]
set -euo pipefail

usage() {
  sed -n '8p' "$0" | sed 's/^# \{0,1\}//'
}

cd "$(dirname "$0")/.."
root=$PWD
build=build
bench=$build/bench
folders=$bench/folders
tree=$bench/tree
include=$bench/include
results=$bench/results
cli=""
warmup=2
min_runs=10

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

scripts/install-deps.sh hyperfine jq diffutils git time

cmake -S . -B "$build" -G Ninja >/dev/null
if [ -n "$cli" ]; then
  cmake --build "$build" --target verko-bench-gen >&2
  cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
else
  cmake --build "$build" --target verko-cli verko-bench-gen >&2
  cli=$root/$build/verko-cli
fi

mkdir -p "$folders" "$results" "$bench/work"
"$bench/verko-bench-gen" --folders "$folders"

# The project's own files as committed, and a copy with 4 files edited (a line changed in the
# middle of the first four C++ sources in name order).
rm -rf "$tree"
mkdir -p "$tree/old"
git archive HEAD | tar -x -C "$tree/old"
cp -a "$tree/old" "$tree/new"
git ls-files '*.cpp' | sort | head -n 4 | while read -r file; do
  lines=$(wc -l <"$tree/new/$file")
  sed -i "$((lines / 2 + 1))s/\$/ \/\/ edited for the bench/" "$tree/new/$file"
done

# The system's headers (about 10,000 files), and a copy with 20 of them edited: a line
# changed in the middle of every 430th regular file of more than 10 lines, in name order.
# Links that lead nowhere in the copy (relative links out of /usr/include) are left out:
# diff -r would fail on them.
if [ ! -f "$include/done" ]; then
  rm -rf "$include"
  mkdir -p "$include"
  cp -a /usr/include "$include/old"
  find "$include/old" -xtype l -delete
  cp -a "$include/old" "$include/new"
  (cd "$include/new" && find . -type f -print0 | sort -z | xargs -0 wc -l 2>/dev/null |
    awk '$1 > 10 && $2 != "total" { print $2 }' | awk 'NR % 430 == 1' | head -n 20) |
    while read -r file; do
      lines=$(wc -l <"$include/new/$file")
      sed -i "$((lines / 2 + 1))s/\$/ \/\/ edited for the bench/" "$include/new/$file"
    done
  touch "$include/done"
fi

summary=$results/folders.tsv
printf 'case\tverko_ms\tjobs1_ms\tdiff_ms\tgit_ms\tratio\ttarget\tverdict\tverko_mb\n' >"$summary"

# One case: NAME OLD NEW TARGET MB [verko-cli options]. Every timed run must end with 0 or 1.
measure() {
  local name=$1 old=$2 new=$3 target=$4 mb=$5
  shift 5
  local out=$bench/$name.result json=$results/folders-$name.json rc=0
  "$cli" --quiet --work-dir "$bench/work" "$@" "$old" "$new" "$out" >"$results/$name.out" || rc=$?
  if [ "$rc" -gt 1 ]; then
    echo "folders.sh: verko-cli failed on $name (exit $rc):" >&2
    cat "$results/$name.out" >&2
    exit 1
  fi
  echo "== $name: $(cat "$results/$name.out")" >&2
  hyperfine -N --ignore-failure --warmup "$warmup" --min-runs "$min_runs" --export-json "$json" \
    --command-name verko-cli --command-name "verko-cli --jobs 1" \
    --command-name "diff -r" --command-name git \
    "$(printf '%q ' "$cli" --quiet --work-dir "$bench/work" "$@" "$old" "$new" "$out")" \
    "$(printf '%q ' "$cli" --quiet --jobs 1 --work-dir "$bench/work" "$@" "$old" "$new" "$out")" \
    "$(printf '%q ' diff -r "$old" "$new")" \
    "$(printf '%q ' git diff --no-index --histogram "$old" "$new")" >&2
  if ! jq -e '[.results[].exit_codes[] | select(. > 1)] | length == 0' "$json" >/dev/null; then
    echo "folders.sh: a timed run of $name failed; see $json" >&2
    exit 1
  fi
  local kb
  kb=$(/usr/bin/time -f %M "$cli" --quiet --work-dir "$bench/work" "$@" "$old" "$new" "$out" \
    2>&1 >/dev/null | tail -n 1 || true)
  jq -r --arg name "$name" --arg target "$target" --arg kb "$kb" --arg mb "$mb" '
    [.results[].median * 1000] as $m
    | ($m[0] / $m[2]) as $r
    | [$name, $m[0], $m[1], $m[2], $m[3], $r, ($target | tonumber),
       (if $r <= ($target | tonumber) and ($kb | tonumber) <= ($mb | tonumber) * 1024 then "OK" else "OVER" end),
       (($kb | tonumber) / 1024)]
    | @tsv' "$json" >>"$summary"
}

measure tree "$tree/old" "$tree/new" 2 24 -r
measure include "$include/old" "$include/new" 1 32 -r
measure pairs-300 "$folders/old" "$folders/new" 3 24

echo
echo "verko-cli: $cli; $(diff --version | head -n 1); $(git --version); $(nproc) cores"
echo "Median wall times by hyperfine; ratio = verko-cli (default jobs) / diff -r, judged"
echo "against the target together with the memory (one run's peak resident set: at most 32 MB"
echo "for include, 24 MB for the others)."
echo
awk -F '\t' 'NR == 1 { print "case        verko ms  --jobs 1    diff -r      git   ratio target verdict   MB"; next }
  { printf "%-10s %9.1f %9.1f %8.1f %8.1f %7.2f %6.1f %-7s %5.1f\n", $1, $2, $3, $4, $5, $6, $7,
           $8, $9 }' "$summary"
