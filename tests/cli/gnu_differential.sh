#!/usr/bin/env bash
# The filter against the system's GNU sort, on random texts where the two
# orders cannot differ: lowercase letters a to e and k, digits, '-', '.',
# spaces and the separator 'z' collate in the root collation (without
# numbers by value) as their bytes do in the C locale. Random key specs with
# random modifiers, global letters, several files, -u, -s, -r, -m and -c; the
# output (and the exit status) must be the same, byte for byte.
#   gnu_differential.sh path/to/parasort [CASES] [SEED]
set -uo pipefail
parasort=$1 cases=${2:-300}
RANDOM=${3:-23}
export LC_ALL=C
command -v sort >/dev/null || { echo "no sort to compare with: skipped"; exit 0; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# These set a variable rather than print: a command substitution runs in a
# subshell, which draws random numbers of its own, and a seed would not give
# the same cases twice.
pick() { local choices=("$@"); picked=${choices[RANDOM % ${#choices[@]}]}; }

word() {
  case $((RANDOM % 4)) in
    0) pick a b c d e ab ba dec cab ek; made=$picked ;;
    1) pick '' - ''; made=$picked$((RANDOM % 200 - 20)) ;;
    2) made=$((RANDOM % 30)).$((RANDOM % 100)) ;;
    3) made=$((RANDOM % 9)); pick k '' a .5 -1; made+=$picked ;;
  esac
}

line() {
  local count=$((RANDOM % 4)) separator=$1 text="" index
  [ $((RANDOM % 6)) = 0 ] && text=" "
  for ((index = 0; index < count; index++)); do
    [ $index -gt 0 ] && text+=$separator
    word
    text+=$made
  done
  printf '%s\n' "$text"
}

keyspec() {
  local letters=(b n n r g V M d f h)
  spec=$((RANDOM % 3 + 1))
  [ $((RANDOM % 3)) = 0 ] && spec+=.$((RANDOM % 3 + 1))
  [ $((RANDOM % 2)) = 0 ] && spec+=${letters[RANDOM % ${#letters[@]}]}
  if [ $((RANDOM % 2)) = 0 ]; then
    spec+=,$((RANDOM % 3 + 1))
    [ $((RANDOM % 3)) = 0 ] && spec+=.$((RANDOM % 3))
    [ $((RANDOM % 3)) = 0 ] && pick b r && spec+=$picked
  fi
}

# compare DESCRIPTION ARGS...: both programs on the same arguments.
compare() {
  local description=$1
  shift
  (cd "$work" && sort "$@") >"$work/expected" 2>/dev/null
  local expectedStatus=$?
  (cd "$work" && "$parasort" --no-numeric "$@") >"$work/actual" 2>/dev/null
  local actualStatus=$?
  if [ $expectedStatus != $actualStatus ] || ! cmp -s "$work/expected" "$work/actual"; then
    failures=$((failures + 1))
    if [ $failures -le 5 ]; then
      echo "FAIL ($description): sort $*: status $expectedStatus, parasort $actualStatus"
      for file in "$work"/in*; do echo "--- ${file##*/}"; cat "$file"; done
      diff "$work/expected" "$work/actual" | head -20
    fi
  fi
}

for ((round = 0; round < cases; round++)); do
  rm -f "$work"/in* "$work"/sorted*
  pick ' ' z
  separator=$picked
  files=$((RANDOM % 3 + 1))
  for ((file = 1; file <= files; file++)); do
    for ((index = RANDOM % 8; index > 0; index--)); do line "$separator"; done >"$work/in$file"
  done
  options=()
  [ "$separator" = z ] && options+=(-t z)
  for ((key = RANDOM % 3; key > 0; key--)); do
    keyspec
    options+=(-k "$spec")
  done
  for letter in b n r s u g V; do [ $((RANDOM % 8)) = 0 ] && options+=("-$letter"); done
  # Two kinds at once are refused by both; one is enough here.
  kinds=0
  for option in "${options[@]}"; do [[ $option == -[ngV] ]] && kinds=$((kinds + 1)); done
  [ $kinds -gt 1 ] && options=("${options[@]/-[gV]/-b}")
  inputs=()
  for ((file = 1; file <= files; file++)); do inputs+=("in$file"); done
  compare sort "${options[@]}" "${inputs[@]}"
  # Each file sorted by GNU sort, then merged by both.
  for ((file = 1; file <= files; file++)); do
    (cd "$work" && sort "${options[@]}" "in$file" >"sorted$file")
  done
  compare merge -m "${options[@]}" "${inputs[@]/in/sorted}"
  # A sorted and an unsorted file checked.
  compare check-sorted -c "${options[@]}" sorted1
  compare check -C "${options[@]}" in1
done
echo "$cases rounds, $failures failures"
[ $failures = 0 ]
