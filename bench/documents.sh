#!/usr/bin/env bash
# Times documents compared by their text: a Word document and a PDF of about 100 pages, old
# and new (real law texts before and after their amendments, made by make_documents.py),
# compared by verko-cli (both texts taken and compared, the report written), against the
# extraction alone of both files by pandoc -t plain and docx2txt, and by pdftotext. With
# hyperfine when installed, else the median of N runs.
# Usage: bench/documents.sh [--runs N] [--laws FOLDER]   (default 5 runs, /work/shared/laws)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=5 laws=/work/shared/laws
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --laws) laws=$2; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
build=build
out=$build/bench/documents
cmake --build "$build" --target verko-cli verko_documents_module >&2
mkdir -p "$out/work"
[ -f "$out/new.pdf" ] || /usr/bin/python3 bench/make_documents.py "$laws" "$out"
cli="$build/verko-cli --quiet --work-dir $out/work"
# The extraction of both files by COMMAND (TAIL after the file name).
both() { echo "$1 $out/old.$2 ${3:-} >/dev/null && $1 $out/new.$2 ${3:-} >/dev/null"; }
commands=(
  "$cli $out/old.docx $out/new.docx $out/docx-report.txt || [ \$? -eq 1 ]"
  "$(both "pandoc -t plain" docx)"
  "$(both docx2txt docx -)"
  "$cli $out/old.pdf $out/new.pdf $out/pdf-report.txt || [ \$? -eq 1 ]"
  "$(both pdftotext pdf -)"
)
for file in old.pdf new.pdf; do
  printf '%s: %s pages\n' "$file" "$(pdfinfo "$out/$file" | awk '/^Pages:/ {print $2}')"
done
if command -v hyperfine >/dev/null; then
  hyperfine --runs "$runs" --warmup 1 --style basic "${commands[@]}"
else
  for command in "${commands[@]}"; do
    times=()
    for _ in $(seq "$runs"); do
      start=$(date +%s%N)
      bash -c "$command"
      times+=($((($(date +%s%N) - start) / 1000000)))
    done
    printf '%s ms\t%s\n' "$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")" "$command"
  done
fi
