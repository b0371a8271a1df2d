#!/usr/bin/env bash
# Builds the screenshot tool and writes PNGs of its windows into build/screenshots/: the main
# window idle (also with a name too long for its field, and that field's history list) and
# during a run (bar half full), each settings dialog, the help window, the main
# message boxes, the result file's file dialog (Qt's own, in Japanese), the batch window
# with a filled list (idle and running) and its list chooser, and the report viewer as a
# list and side by side (viewer-list.png, viewer-side.png, viewer-side-dark.png on a dark
# theme) on a report with every kind of line, and on a long report of Japanese and ASCII
# changes with a long line: its changed characters marked (viewer-inline-list.png,
# viewer-inline-side.png), the overview strip (viewer-overview.png) and folded common runs
# (viewer-folded.png). Then 比較して表示 on that pair: the main window's outcome line
# (main-after-run.png), the viewer with long lines wrapped (viewer-wrapped.png,
# viewer-wrapped-side.png) and its print preview (print-preview.png); and the batch window
# after a run over real files, each row with its outcome (batch-after-run.png). Runs under a
# virtual X server with a Japanese
# font; VERKO_X_SCREEN sets its screen (1280x1024x24), QT_SCALE_FACTOR scales the windows.
# Then the 新旧対照表 of the sample pair as HTML, shown in headless Chromium
# (taisho-html.png) and printed by it (taisho.pdf, A4 landscape); and of real amendments (the
# sample excerpt of an official table's law, law-*.png, and the laws beside the repository
# when they are there, a07-*.png) as HTML in Chromium and as Word and Excel files printed by
# LibreOffice and shown page by page (-word-N.png, -excel-N.png).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target verko-screenshot verko-cli >/dev/null
out=build/screenshots
rm -rf "$out"
mkdir -p "$out"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
xvfb-run -a -s "-screen 0 ${VERKO_X_SCREEN:-1280x1024x24} -dpi 96" build/ui/verko-screenshot "$out"

# The 新旧対照表: a browser of its own profile, in the screenshot folder, removed afterwards.
build/verko-cli --quiet --format html samples/old.txt samples/new.txt "$out/taisho.html" ||
  [ $? -eq 1 ]
profile="$out/.chromium"
chromium_run() {
  chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir="$profile" \
    --no-first-run --no-default-browser-check "$@" "file://$(realpath "$out/taisho.html")" \
    >/dev/null 2>&1
}
chromium_run --window-size=1280,900 --screenshot="$out/taisho-html.png"
chromium_run --no-pdf-header-footer --print-to-pdf="$out/taisho.pdf"

# Real amendments: the HTML in the browser, the Word and Excel tables through LibreOffice's
# PDF (its profile in the screenshot folder too).
laws=${VERKO_LAWS_DIR:-../shared/laws}
[ -d "$laws" ] || laws=../../shared/laws
pairs=("law samples/law-old.txt samples/law-new.txt")
a07="$laws/A07_jutaku-kinyu-shien-kiko-ho"
[ -d "$a07" ] && pairs+=("a07 $a07/old.txt $a07/new.txt")
for pair in "${pairs[@]}"; do
  read -r name old new <<<"$pair"
  for format in html docx xlsx; do
    build/verko-cli --quiet --format "$format" "$old" "$new" "$out/$name.$format" || [ $? -eq 1 ]
  done
  mv "$out/$name.docx" "$out/$name-word.docx"
  mv "$out/$name.xlsx" "$out/$name-excel.xlsx"
  chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir="$profile" \
    --no-first-run --no-default-browser-check --window-size=1280,900 \
    --screenshot="$(realpath "$out")/$name-html.png" "file://$(realpath "$out/$name.html")" \
    >/dev/null 2>&1
  for document in "$name-word.docx" "$name-excel.xlsx"; do
    HOME=$(realpath "$out/.office") soffice --headless --convert-to pdf --outdir "$out" \
      "$out/$document" >/dev/null 2>&1
    pdftoppm -png -r 80 -f 1 -l 2 "$out/${document%.*}.pdf" "$out/${document%.*}"
  done
done
rm -rf "$profile" "$out/.office"
ls -1 "$out"/*.png "$out"/*.pdf
