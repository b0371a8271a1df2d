# bash completion for verko-cli and verko.
# Installed once under each command's name in bash-completion's completions folder; it also
# works sourced on its own (plain compgen, no helpers of the bash-completion package).

_verko_encodings='cp932 shift_jis sjis utf-8 euc-jp auto'

# Sets COMPREPLY to the words of $1 that start with $2, each after $_verko_prefix.
_verko_words() {
  mapfile -t COMPREPLY < <(compgen -P "${_verko_prefix-}" -W "$1" -- "$2")
}

# Sets COMPREPLY to the file and folder names that start with $1 (folders only with -d),
# each after $_verko_prefix.
_verko_files() {
  local kind=-f
  if [[ $1 == -d ]]; then
    kind=-d
    shift
  fi
  compopt -o filenames 2>/dev/null
  mapfile -t COMPREPLY < <(compgen -P "${_verko_prefix-}" "$kind" -- "$1")
}

# The option whose value is being completed and the value typed so far, for both
# "--name value" and "--name=value" (bash splits the latter at "=" by default). Sets the
# caller's _verko_option (empty when no option's value is completed), _verko_value,
# _verko_separate (1 for the form "--name value") and _verko_prefix ("--name=" when the
# word being completed holds both, as when "=" is not among COMP_WORDBREAKS).
_verko_option_value() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local prev=${COMP_WORDS[COMP_CWORD - 1]:-}
  _verko_option='' _verko_value='' _verko_separate=0 _verko_prefix=''
  if [[ $cur == '=' && $prev == --* ]]; then
    _verko_option=$prev _verko_value=''
  elif [[ $prev == '=' && $COMP_CWORD -ge 2 && ${COMP_WORDS[COMP_CWORD - 2]} == --* ]]; then
    _verko_option=${COMP_WORDS[COMP_CWORD - 2]} _verko_value=$cur
  elif [[ $cur == --*=* ]]; then
    _verko_option=${cur%%=*} _verko_value=${cur#*=} _verko_prefix=${cur%%=*}=
  elif [[ $prev == -* ]]; then
    _verko_option=$prev _verko_value=$cur _verko_separate=1
  fi
}

# True when an argument "--" comes before the word being completed: only names follow it.
_verko_after_names_mark() {
  local i
  for ((i = 1; i < COMP_CWORD; i++)); do
    [[ ${COMP_WORDS[i]} == -- ]] && return 0
  done
  return 1
}

# Starts a completion of `cur`: false, with file names offered, when the word comes after
# "--"; else the option being completed and its value are known.
_verko_start() {
  COMPREPLY=()
  if _verko_after_names_mark; then
    _verko_files "$cur"
    return 1
  fi
  _verko_option_value
}

_verko_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local _verko_option _verko_value _verko_separate _verko_prefix
  _verko_start || return
  case $_verko_option in
    --encoding | --old-encoding | --new-encoding | --report-encoding)
      _verko_words "$_verko_encodings" "$_verko_value"
      return ;;
    --color)
      # Its value is taken only in the form "--color=WHEN".
      if [[ $_verko_separate == 0 ]]; then
        _verko_words 'auto always never' "$_verko_value"
        return
      fi ;;
    --diff-only)
      _verko_words '1 2 3 4 5 6 7 8 9' "$_verko_value"
      return ;;
    --format)
      _verko_words 'report html xlsx unified json' "$_verko_value"
      return ;;
    --work-dir)
      _verko_files -d "$_verko_value"
      return ;;
    --batch-db)
      _verko_files "$_verko_value"
      return ;;
    --split | --split-chars | --files | --jobs | --batch)
      # A number, a pattern or a list name: nothing to offer.
      return ;;
  esac
  if [[ $cur == -* ]]; then
    _verko_words '--trim-top --keep-trailing --compress --split --split-chars --diff-only
      --case-sensitive --ignore-width --fewest-moves --format
      --work-dir --encoding --old-encoding --new-encoding --report-encoding --old-left --quiet
      -r --recursive --files --jobs --all-reports --text --color --batch --batch-db -h --help --version --' "$cur"
  else
    _verko_files "$cur"
  fi
}

_verko() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local _verko_option _verko_value _verko_separate _verko_prefix
  _verko_start || return
  if [[ $_verko_option == --view ]]; then
    _verko_files "$_verko_value"
  elif [[ $cur == -* ]]; then
    _verko_words '-h --help -v --version --view --' "$cur"
  else
    _verko_files "$cur"
  fi
}

complete -F _verko_cli verko-cli
complete -F _verko verko
