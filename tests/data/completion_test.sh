#!/usr/bin/env bash
# The bash completion for parasort, driven as bash drives it: the words of
# a command line in COMP_WORDS, the function registered for parasort called,
# and what it offers read from COMPREPLY.
#   completion_test.sh path/to/parasort.bash-completion path/to/parasort
set -uo pipefail
script=$1 parasort=$2
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

# shellcheck source=/dev/null
source "$script"
function=$(complete -p parasort 2>/dev/null | grep -oE -- '-F [^ ]+' | cut -d' ' -f2)
[ -n "$function" ] || { echo "FAIL: no completion is registered for parasort" >&2; exit 1; }

# offers WORD... : the completions for the command line WORD... (the last
# word is the one being completed), one a line, sorted.
offers() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  "$function" parasort "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort
}
expect() {  # expect WHAT EXPECTED ACTUAL
  [ "$2" == "$3" ] || fail "$1: expected [$(echo $2)], got [$(echo $3)]"
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
touch words.txt work.txt other.txt

# Every long option of the help text, and nothing else.
documented=$("$parasort" --help | grep -oE -- '^ +(-[a-z], )?--[a-z]+' | grep -oE -- '--[a-z]+' | sort)
[ -n "$documented" ] || fail "parasort --help lists no long options"
expect "options" "$documented" "$(offers parasort --)"
expect "options after a file" "$documented" "$(offers parasort words.txt --)"
expect "options by prefix" "--descending" "$(offers parasort --de)"

# The three orders exclude one another.
expect "after --unique" "$(grep -vE -- '--(ascending|descending|unique)' <<<"$documented")" \
  "$(offers parasort -u --)"

expect "file names" "$(printf 'words.txt\nwork.txt')" "$(offers parasort wo)"
expect "the output file" "words.txt" "$(offers parasort -o word)"
expect "the output file, long" "words.txt" "$(offers parasort --output word)"
expect "after --uniq" "$(grep -vE -- '--(ascending|descending|unique)' <<<"$documented")" \
  "$(offers parasort --uniq --)"
expect "nothing after --version" "" "$(offers parasort --version '')"

locales=$(offers parasort --locale '')
grep -qx C <<<"$locales" || fail "--locale does not offer C: [$(echo $locales)]"
grep -qx -e 'POSIX' -e 'words.txt' <<<"$locales" && fail "--locale offers more than locales: [$(echo $locales)]"
expect "--locale=" "$locales" "$(offers parasort --locale =)"
expect "--locale=C" "C" "$(offers parasort --locale = C)"
expect "--loc, abbreviated" "$locales" "$(offers parasort --loc '')"

[ "$status" -eq 0 ] && echo "the completion offers what parasort takes"
exit "$status"
