#!/usr/bin/env bash
# A manual page as it is installed: it renders without a warning, has the
# usual sections and names the version that `parasort --version` prints.
# For parasort(1) (with --options), also: every option that `parasort --help`
# lists heads an item of OPTIONS, and the page has the filter's sections.
#   man_page_test.sh [--options] path/to/page.1 path/to/parasort
set -euo pipefail
options=false
[ "$1" = --options ] && { options=true; shift; }
page=$1 parasort=$2 status=0
fail() { echo "FAIL: $*" >&2; status=1; }

warnings=$(groff -man -ww -z "$page" 2>&1 && man --warnings -l "$page" 2>&1 >/dev/null) || fail "groff or man failed"
[ -z "$warnings" ] || fail "groff -man -ww or man --warnings warns: $warnings"

rendered=$(MANWIDTH=80 man -l "$page" 2>/dev/null)
sections=(NAME SYNOPSIS DESCRIPTION 'SEE ALSO')
$options && sections+=(OPTIONS COLLATION 'PARAGRAPHS AND SEPARATORS' ENVIRONMENT 'EXIT STATUS' EXAMPLES)
for section in "${sections[@]}"; do
  grep -qx "$section" <<<"$rendered" || fail "no section $section"
done

tail -n 1 <<<"$rendered" | grep -qF "$("$parasort" --version)" || fail "the footer does not name the version"

$options || exit "$status"

# Each option of the help text heads an item of OPTIONS, in the same spelling.
options_section=$(sed -n '/^OPTIONS$/,/^[A-Z]/p' <<<"$rendered")
help_items=$("$parasort" --help | grep -E '^ +-')
[ -n "$help_items" ] || fail "parasort --help lists no options"
while read -r item; do
  names=$(grep -oE -- '^(-[a-zA-Z], )?--[a-z0-9-]+(=[a-zA-Z]+)?( [A-Z]+)?' <<<"$item" || true)
  grep -qE -- "^ {7}${names}\$" <<<"$options_section" || fail "OPTIONS has no item '$names'"
done <<<"$help_items"

# Exit statuses 0, 1 and 2 are each explained.
exit_section=$(sed -n '/^EXIT STATUS$/,/^[A-Z]/p' <<<"$rendered")
for code in 0 1 2; do
  grep -qE "^ {7}$code " <<<"$exit_section" || fail "EXIT STATUS does not explain $code"
done

exit "$status"
