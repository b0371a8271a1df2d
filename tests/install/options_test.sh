#!/usr/bin/env bash
# Every option a program's --help lists is an item of its manual pages (English and
# Japanese) and is known to the bash and zsh completions; the bash completion loads in a
# plain bash (no bash-completion helpers) and completes options, their values and names.
# verko-cli's --help and completions are written from its option table, so this checks the
# manual pages against that table. COMPLETIONS is the folder the build wrote them into.
# Usage: options_test.sh SOURCE_DIR COMPLETIONS VERKO_CLI [VERKO]
set -uo pipefail
src=$(realpath "$1") completions=$(realpath "$2") cli=$3 gui=${4:-}
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The "-x" and "--long" words of the standard input, not hyphens inside other words.
options_in() {
  LC_ALL=C grep -oE -- '(^|[^A-Za-z0-9_-])--?[a-z][a-z0-9-]*' | LC_ALL=C sed 's/^[^-]*//' |
    sort -u
}
# The item tags of a manual page (the line after each .TP), unescaped.
tags_of() { sed 's/\\-/-/g' "$1" | awk 'tag { print; tag = 0 } /^\.TP/ { tag = 1 }'; }
has_option() { LC_ALL=C grep -qE -- "(^|[^A-Za-z0-9_-])$1([^A-Za-z0-9_-]|\$)"; }
# The lines of FILE from the line START to the end of its block (a "}" or ";;" line).
block() { awk -v start="$2" '$0 == start { on = 1 } on { print } on && /^(}|    ;;)$/ { exit }' "$1"; }

# check PROGRAM: its --help against its pages and the completions.
check() {
  local program=$1 name options option
  name=$(basename "$program")
  options=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --help | options_in)
  [ -n "$options" ] || fail "$name --help lists no options"
  for option in $options; do
    for page in "$src/doc/man/$name.1" "$src/doc/man/ja/$name.1"; do
      tags_of "$page" | has_option "$option" || fail "${page#"$src"/} has no item $option"
    done
    block "$completions/verko.bash" "_${name//-/_}() {" | has_option "$option" ||
      fail "completions/verko.bash does not complete $option for $name"
    block "$completions/_verko" "  $name)" | has_option "$option" ||
      fail "completions/_verko does not complete $option for $name"
  done
}
check "$cli"
[ -n "$gui" ] && check "$gui"

bash -n "$completions/verko.bash" || fail "bash does not accept completions/verko.bash"
if command -v zsh >/dev/null; then
  zsh -n "$completions/_verko" || fail "zsh does not accept completions/_verko"
fi

# What the bash completion offers for a command line whose last word is being completed.
complete_words() {
  bash --norc --noprofile -c 'source "$1" && shift && COMP_WORDS=("$@") COMP_CWORD=$(($# - 1))
    handler=$(complete -p "$1") && handler=${handler#*-F } && ${handler%% *} &&
    echo "${COMPREPLY[*]}"' \
    complete_words "$completions/verko.bash" "$@"
}
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/sub" && : >"$tmp/subfile.txt"
# words (@ is a folder holding sub/ and subfile.txt) | the completions offered
while IFS='|' read -r line want; do
  read -ra words <<<"${line//@/$tmp}"
  got=$(complete_words "${words[@]}")
  [ "$got" = "${want//@/$tmp}" ] || fail "completing '$line': '$got', expected '$want'"
done <<'TABLE'
verko-cli --enc|--encoding
verko-cli --report-encoding s|shift_jis sjis
verko-cli --old-encoding = u|utf-8
verko-cli --color = a|auto always
verko-cli --color=n|--color=never
verko-cli --diff-only 1|1
verko-cli --work-dir @/su|@/sub
verko-cli --batch-db @/su|@/sub @/subfile.txt
verko-cli --quiet @/subf|@/subfile.txt
verko-cli --jobs 1|
verko-cli -- @/subfile.txt --enc|
verko --v|--version --view
verko --view @/subf|@/subfile.txt
TABLE

exit $((failures > 0))
