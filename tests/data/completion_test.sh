#!/usr/bin/env bash
# The bash completion for parasort, driven as bash drives it: the words of
# a command line in COMP_WORDS, the function registered for parasort called,
# and what it offers read from COMPREPLY.
#   completion_test.sh path/to/parasort.bash-completion path/to/parasort
set -uo pipefail
script=$1 parasort=$2 status=0
fail() { echo "FAIL: $*" >&2; status=1; }

# shellcheck source=/dev/null
source "$script"
function=$(complete -p parasort 2>/dev/null | grep -oE -- '-F [^ ]+' | cut -d' ' -f2)
[ -n "$function" ] || { echo "FAIL: no completion is registered for parasort" >&2; exit 1; }

# offers WORD... : the completions for the command line WORD... (the last
# word is the one being completed), one a line, sorted.
offers() {
  COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMPREPLY=()
  "$function" parasort "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort
}
# check EXPECTED WORD...: what the command line WORD... is offered.
check() {
  [ "$1" == "$(offers "${@:2}")" ] || fail "${*:2}: expected [$(echo $1)], got [$(echo $(offers "${@:2}"))]"
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
touch words.txt work.txt other.txt

# Every long option of the help text and nothing else; the operations
# exclude one another; file names, also for the output; locales after
# --locale (abbreviated or with '='), C among them.
documented=$("$parasort" --help | grep -oE -- '^ +(-[a-zA-Z], )?--[a-z0-9-]+' | grep -oE -- '--[a-z0-9-]+' | sort -u)
others=$(grep -vxE -- '--(ascending|descending|unique|by-length|reverse-lines|shuffle|adjacent-unique)' <<<"$documented")
locales=$(offers parasort --locale '')
grep -qx C <<<"$locales" || fail "--locale does not offer C: [$(echo $locales)]"
grep -qx -e 'POSIX' -e 'words.txt' <<<"$locales" && fail "--locale offers more than locales: [$(echo $locales)]"
check "$documented" parasort --
check "$documented" parasort words.txt --
check --descending parasort --de
check "$others" parasort -u --
check "$others" parasort --uniq --
check "$(printf 'words.txt\nwork.txt')" parasort wo
check words.txt parasort -o word
check words.txt parasort --output word
check "" parasort --version ''
check "$(printf 'identical\nprimary\nsecondary\ntertiary')" parasort --strength ''
check human-numeric parasort --sort h
check "$others" parasort -r --desc --
check "$locales" parasort --locale =
check C parasort --locale = C
check "$locales" parasort --loc ''

exit "$status"
