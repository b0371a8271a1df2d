#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses the installed tree as a user would:
# every installed file is there, the desktop entry and the software-centre description
# validate (when the validators are installed), verko-cli compares two files from another
# folder and seeds the user's batch lists from the installed empty database, the installed
# desktop program finds its help document, nothing is written under the prefix, and lintian
# (when installed) finds no error and no warning in the Debian package.
# Usage: install_test.sh BUILD_DIR GUI(ON|OFF) [PROBE_PLUGIN_DIR]
set -uo pipefail
build=$(realpath "$1") gui=$2 probe=${3:+$(realpath "$3")}

work=$(mktemp -d "$build/install-test.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
# The test's own home, temporary and XDG folders.
export HOME=$work/home TMPDIR=$work/tmp XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
export XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$TMPDIR" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
prefix=$work/prefix
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  fail "cmake --install failed"
  exit 1
fi

id=io.github.verko.Verko
expected=(bin/verko-cli share/verko/VerkoBatchList.mdb share/man/man1/verko-cli.1.gz
  share/man/ja/man1/verko-cli.1.gz share/doc/verko/copyright share/doc/verko/changelog.Debian.gz
  share/doc/verko/comparison-json.md
  share/lintian/overrides/verko share/bash-completion/completions/verko-cli
  share/zsh/vendor-completions/_verko lib/verko/modules/libverko_documents.so)
if [ "$gui" = ON ]; then
  expected+=(bin/verko share/verko/VerkoHelp.html "share/applications/$id.desktop"
    "share/icons/hicolor/scalable/apps/$id.svg" "share/metainfo/$id.metainfo.xml"
    share/man/man1/verko.1.gz share/man/ja/man1/verko.1.gz
    share/bash-completion/completions/verko)
fi
for file in "${expected[@]}"; do
  [ -s "$prefix/$file" ] || fail "not installed: $file"
done
for program in bin/verko-cli bin/verko; do
  [ -e "$prefix/$program" ] && { [ -x "$prefix/$program" ] || fail "not executable: $program"; }
done
# Nothing is installed beyond the list (no test tools, no build helpers).
(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) >"$work/installed.txt"
printf '%s\n' "${expected[@]}" | sort >"$work/expected.txt"
if ! diff -u "$work/expected.txt" "$work/installed.txt" >&2; then
  fail "the installed files differ from the expected list"
fi

# The installed empty batch-list database is an SQLite file.
head -c 16 "$prefix/share/verko/VerkoBatchList.mdb" | grep -q "SQLite format 3" ||
  fail "share/verko/VerkoBatchList.mdb is not an SQLite database"

# The manual pages are well-formed roff (the English ones render without a warning; the
# Japanese ones have lines groff cannot break, so only their form is checked).
if command -v groff >/dev/null; then
  for page in "$prefix"/share/man/man1/*.1.gz; do
    out=$(gzip -dc "$page" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
    [ -z "$out" ] || fail "$page: $out"
  done
fi
for page in "$prefix"/share/man/*/man1/*.1.gz "$prefix"/share/man/man1/*.1.gz; do
  gzip -dc "$page" | head -n1 | grep -q '^\.TH VERKO' ||
    fail "$page does not open with its title line"
  gzip -dc "$page" | grep -q '^\.SH' || fail "$page has no sections"
done

if [ "$gui" = ON ]; then
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/$id.desktop" >&2 ||
      fail "desktop-file-validate rejects the desktop entry"
  else
    echo "desktop-file-validate not installed: desktop entry not validated" >&2
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >&2 ||
      fail "appstreamcli rejects the metainfo"
  else
    echo "appstreamcli not installed: metainfo not validated" >&2
  fi
  entry=$prefix/share/applications/$id.desktop
  grep -qx 'Exec=verko %F' "$entry" || fail "the desktop entry does not start 'verko %F'"
  grep -qx "Icon=$id" "$entry" || fail "the desktop entry does not name the installed icon"
  grep -q '^Name\[ja\]=' "$entry" || fail "the desktop entry has no Japanese name"
  grep -q '^Comment\[ja\]=' "$entry" || fail "the desktop entry has no Japanese comment"
  grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$id.svg" || fail "the icon is not SVG"
fi

# verko-cli from another folder, on two files named relative to that folder.
before=$(cd "$prefix" && find . | sort)
elsewhere=$work/elsewhere
mkdir -p "$elsewhere"
printf 'alpha\r\nbravo\r\ncharlie\r\n' >"$elsewhere/old.txt"
printf 'alpha\r\ncharlie\r\ndelta\r\n' >"$elsewhere/new.txt"
(cd "$elsewhere" && "$prefix/bin/verko-cli" --quiet old.txt new.txt result.txt)
status=$?
[ $status -eq 1 ] || fail "verko-cli exit status $status, expected 1 (differences)"
if [ -s "$elsewhere/result.txt" ]; then
  report=$(iconv -f CP932 -t UTF-8 "$elsewhere/result.txt" | tr -d '\r')
  grep -qx 'Verko（テキストファイル比較） Ver 1.10  Molvanex' <<<"$report" ||
    fail "the report has no title line"
  grep -qx '旧ファイル = old.txt' <<<"$report" || fail "the report does not name the old file"
  grep -Eq '^-  +2 +\| bravo$' <<<"$report" || fail "the report does not show bravo deleted"
  grep -Eq '^\+ +3 +\| delta$' <<<"$report" || fail "the report does not show delta added"
  # The same report as the build's verko-cli gives (the date line aside).
  (cd "$elsewhere" && "$build/verko-cli" --quiet old.txt new.txt built.txt)
  masked() { iconv -f CP932 -t UTF-8 "$1" | grep -v '^比較日時 = '; }
  cmp -s <(masked "$elsewhere/result.txt") <(masked "$elsewhere/built.txt") ||
    fail "the installed verko-cli writes a different report from the build's"
else
  fail "verko-cli wrote no report"
fi

# The installed program finds the document module relative to itself: an OpenDocument text
# (a zip of a mimetype and a content part) is compared by its paragraphs.
python3 - "$elsewhere/old.odt" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("mimetype", "application/vnd.oasis.opendocument.text")
    z.writestr("content.xml", '<office:document-content xmlns:office="o" xmlns:text="t">'
               "<office:body><office:text><text:p>alpha</text:p><text:p>bravo</text:p>"
               "</office:text></office:body></office:document-content>")
PY
out=$(cd "$elsewhere" && "$prefix/bin/verko-cli" --quiet old.odt old.txt - 2>&1)
grep -q 'OpenDocument テキストから 2 段落' <<<"$out" ||
  fail "the installed verko-cli does not read an OpenDocument text: $out"

# A batch run seeds the user's batch lists from the installed empty database; the list does
# not exist, which is a failure of the run, not of the program.
out=$(cd "$elsewhere" && "$prefix/bin/verko-cli" --quiet --batch 'no such list' 2>&1)
status=$?
[ $status -eq 2 ] || fail "verko-cli --batch on a missing list: status $status, expected 2: $out"
cmp -s "$XDG_DATA_HOME/Verko/VerkoBatchList.mdb" "$prefix/share/verko/VerkoBatchList.mdb" ||
  fail "the user's batch lists were not made from the installed empty database"

# The installed desktop program, on Qt's offscreen platform, finds its help document.
if [ "$gui" = ON ] && [ -n "$probe" ]; then
  out=$(cd "$elsewhere" && QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$probe" \
    QT_QPA_GENERIC_PLUGINS=verkohelpprobe timeout 60 "$prefix/bin/verko" 2>"$work/verko.err")
  status=$?
  want="help: $(realpath "$prefix/share/verko/VerkoHelp.html")"
  if [ $status -ne 0 ] || [ "$out" != "$want" ]; then
    cat "$work/verko.err" >&2
    fail "the installed verko did not show its help document (status $status): '$out'"
  fi
fi

after=$(cd "$prefix" && find . | sort)
[ "$before" = "$after" ] || fail "the programs wrote under the installation prefix: $(diff <(echo "$before") <(echo "$after"))"

# The Debian package, made in the test's own folder.
if command -v lintian >/dev/null && command -v dpkg-shlibdeps >/dev/null; then
  if cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1; then
    if ! lintian --tag-display-limit 0 "$work"/package/verko_*.deb >"$work/lintian.log" 2>&1 ||
      grep -qE '^[EW]: ' "$work/lintian.log"; then
      cat "$work/lintian.log" >&2
      fail "lintian finds errors or warnings in the Debian package"
    fi
  else
    cat "$work/cpack.log" >&2
    fail "cpack -G DEB failed"
  fi
else
  echo "lintian not installed: the Debian package not checked" >&2
fi

[ $failures -eq 0 ] && echo "installed tree checked: ${#expected[@]} files"
exit $((failures > 0))
