#!/usr/bin/env bash
# Measures verko-cli against GNU diff on generated CP932 file pairs and on their UTF-8
# conversions (rows "PAIR-utf8", verko-cli with --encoding utf-8): one hyperfine run per pair
# and encoding with verko-cli, diff and git diff --no-index --histogram side by side, then a
# table of the median times, the ratio to diff and the target ratio (1.8 and below git for
# ordinary pairs of 32,000 lines, 2.2 for those of 2,000, 5 for adversarial ones), and the
# peak memory (at most 24 MB).
#
# Usage: bench/run.sh [--cli PATH] [--warmup N] [--min-runs N] [PAIR ...]
#   --cli PATH   time this verko-cli instead of building build/verko-cli
#   PAIR         only these pairs (names as in build/bench/pairs.tsv)
set -euo pipefail

usage() {
  sed -n '6,8p' "$0" | sed 's/^# \{0,1\}//'
}

cd "$(dirname "$0")/.."
root=$PWD
build=build
bench=$build/bench
work=$bench/work
results=$bench/results
cli=""
warmup=3
min_runs=10
only=()

while [ $# -gt 0 ]; do
  case $1 in
    --cli)
      [ $# -ge 2 ] || { usage >&2; exit 2; }
      cli=$2
      shift 2
      ;;
    --warmup)
      [ $# -ge 2 ] || { usage >&2; exit 2; }
      warmup=$2
      shift 2
      ;;
    --min-runs)
      [ $# -ge 2 ] || { usage >&2; exit 2; }
      min_runs=$2
      shift 2
      ;;
    -h | --help)
      usage
      exit 0
      ;;
    -*)
      echo "run.sh: unknown option $1" >&2
      usage >&2
      exit 2
      ;;
    *)
      only+=("$1")
      shift
      ;;
  esac
done

# What building needs, plus hyperfine and jq (the JSON reader), each only when missing.
scripts/install-deps.sh hyperfine jq diffutils time git

cmake -S . -B "$build" -G Ninja >/dev/null
if [ -n "$cli" ]; then
  cmake --build "$build" --target verko-bench-gen >&2
  [ -x "$cli" ] || { echo "run.sh: $cli is not an executable" >&2; exit 2; }
  cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
else
  cmake --build "$build" >&2
  cli=$root/$build/verko-cli
fi
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")

mkdir -p "$work" "$results"
"$bench/verko-bench-gen" "$bench"

selected() {
  [ ${#only[@]} -eq 0 ] && return 0
  local name
  for name in "${only[@]}"; do
    [ "$name" = "$1" ] && return 0
  done
  return 1
}

# Runs verko-cli once outside hyperfine: the timing ignores exit codes (both programs exit 1
# when the files differ), so a run that fails must be caught here.
check_cli_run() {
  local old=$1 new=$2 result=$3 log=$4 rc=0
  shift 4
  "$cli" --quiet --work-dir "$work" "$@" "$old" "$new" "$result" 2>"$log" || rc=$?
  if [ "$rc" -gt 1 ] || [ ! -s "$result" ]; then
    echo "run.sh: verko-cli failed on $old (exit $rc):" >&2
    cat "$log" >&2
    return 1
  fi
  if [ -s "$log" ]; then
    echo "run.sh: verko-cli wrote to stderr on $old:" >&2
    cat "$log" >&2
  fi
}

summary=$results/summary.tsv
printf 'pair\tlines\tverko_ms\tdiff_ms\tgit_ms\tratio\ttarget\tverdict\tcpu_ratio\tverko_mb\tdiff_mb\n' >"$summary"
measured=0
# One pair in one encoding: NAME GROUP LINES OLD NEW [verko-cli options].
measure() {
  local name=$1 group=$2 old_lines=$3 old=$4 new=$5
  shift 5
  local result=$bench/result.txt
  local json=$results/$name.json
  check_cli_run "$old" "$new" "$result" "$results/$name.stderr" "$@"

  echo "== $name ($old_lines / $new_lines lines)" >&2
  # No shell in between (-N): at a few milliseconds per run, the shell's start-up would be a
  # large part of what is measured. hyperfine sends the commands' output to /dev/null.
  hyperfine -N --ignore-failure --warmup "$warmup" --min-runs "$min_runs" --export-json "$json" \
    --command-name verko-cli --command-name diff --command-name git \
    "$(printf '%q ' "$cli" --quiet --work-dir "$work" "$@" "$old" "$new" "$result")" \
    "$(printf '%q ' diff "$old" "$new")" \
    "$(printf '%q ' git diff --no-index --histogram "$old" "$new")" >&2

  # Both commands must have ended with 0 (same) or 1 (different) in every timed run.
  if ! jq -e '[.results[].exit_codes[] | select(. > 1)] | length == 0' "$json" >/dev/null; then
    echo "run.sh: a timed run of $name failed; see $json" >&2
    exit 1
  fi
  # Median wall time and mean CPU time (user + system) of each command, in seconds.
  read -r verko_s verko_cpu < <(jq -r '.results[] | select(.command == "verko-cli")
    | "\(.median) \(.user + .system)"' "$json")
  read -r diff_s diff_cpu < <(jq -r '.results[] | select(.command == "diff")
    | "\(.median) \(.user + .system)"' "$json")
  read -r git_s < <(jq -r '.results[] | select(.command == "git") | .median' "$json")
  # Peak memory (maximum resident set) of one run of each, by GNU time, in kilobytes (its
  # last line; before it, a note that the files differ).
  local verko_kb diff_kb
  verko_kb=$(/usr/bin/time -f %M "$cli" --quiet --work-dir "$work" "$@" "$old" "$new" "$result" \
    2>&1 >/dev/null | tail -n 1 || true)
  diff_kb=$(/usr/bin/time -f %M diff "$old" "$new" 2>&1 >/dev/null | tail -n 1 || true)
  # Ordinary pairs of 32,000 lines must also be faster than git.
  target=1.8
  below_git=1
  [ "$old_lines" -le 2000 ] && target=2.2 && below_git=0
  [ "$group" = adversarial ] && target=5 && below_git=0
  awk -v name="$name" -v lines="$old_lines" -v v="$verko_s" -v d="$diff_s" -v g="$git_s" \
    -v t="$target" -v bg="$below_git" -v vc="$verko_cpu" -v dc="$diff_cpu" -v vm="$verko_kb" \
    -v dm="$diff_kb" \
    'BEGIN { r = v / d; ok = r <= t && (!bg || v < g) && vm <= 24576
             printf "%s\t%s\t%.2f\t%.2f\t%.2f\t%.2f\t%s\t%s\t%.2f\t%.1f\t%.1f\n",
             name, lines, v * 1000, d * 1000, g * 1000, r, t (bg ? "<git" : ""),
             (ok ? "OK" : "OVER"), vc / dc, vm / 1024, dm / 1024 }' \
    >>"$summary"
  measured=$((measured + 1))
}

# The UTF-8 pairs are the CP932 pairs converted, so both rows compare the same texts.
mkdir -p "$bench/utf8"
while IFS=$'\t' read -r name group old_lines new_lines old_file new_file; do
  selected "$name" || continue
  measure "$name" "$group" "$old_lines" "$bench/$old_file" "$bench/$new_file"
  utf8_old=$bench/utf8/$(basename "$old_file")
  utf8_new=$bench/utf8/$(basename "$new_file")
  iconv -f CP932 -t UTF-8 "$bench/$old_file" >"$utf8_old"
  iconv -f CP932 -t UTF-8 "$bench/$new_file" >"$utf8_new"
  measure "$name-utf8" "$group" "$old_lines" "$utf8_old" "$utf8_new" --encoding utf-8
done <"$bench/pairs.tsv"

if [ "$measured" -eq 0 ]; then
  echo "run.sh: no pair matches: ${only[*]}" >&2
  exit 2
fi

echo
echo "verko-cli: $cli (build type ${build_type:-RelWithDebInfo}); $(diff --version | head -n 1)"
echo "Median wall times by hyperfine; ratio = verko-cli / diff, judged against the target"
echo "(\"<git\": also faster than git diff --no-index --histogram) and memory (at most 24 MB)."
echo "CPU ratio: the same for user + system time, steadier on a busy machine (verko-cli"
echo "writes its work database on a second thread, which counts here). JSON in $results/."
echo "MB: peak memory (maximum resident set) of one run."
echo
awk -F '\t' 'NR == 1 { $3 = "verko-cli ms"; $4 = "diff ms"; $5 = "git ms"; $9 = "CPU ratio"
                        $10 = "verko MB"; $11 = "diff MB" }
  { printf "%-20s %6s %13s %9s %9s %7s %8s  %-7s %9s %9s %8s\n", $1, $2, $3, $4, $5, $6, $7,
           $8, $9, $10, $11 }' \
  "$summary"
