#!/usr/bin/env bash
# The editor end to end, as a desktop session meets it; run on an X display
# and a private session bus:
#   xvfb-run -a dbus-run-session -- bash end_to_end.sh path/to/parasort-editor
# Each service is called with gdbus on text put on the clipboard by xclip; a
# second launch hands over to the first; quitting ends the program with
# status 0 and the font written to the settings; without a bus the editor
# still runs and says so once.
set -u

editor=$1
scratch=$(mktemp -d)
export XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch
failures=0
pid=

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

finish() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$scratch"
}
trap finish EXIT

bus_name=io.github.parasort.Parasort
services_call() {
  gdbus call --session --dest $bus_name --object-path /io/github/parasort/Parasort \
    --method "io.github.parasort.Services.$1" ""
}
editor_call() {
  gdbus call --session --dest $bus_name --object-path /io/github/parasort/Parasort/Editor \
    --method "io.github.parasort.Editor.$1"
}

# The clipboard's text after `service` ran on `input`, in hex so that the
# final line break counts.
service_result() {
  printf '%b' "$2" | xclip -selection clipboard -i
  services_call "$1" >/dev/null || return 1
  xclip -selection clipboard -o | od -An -c | tr -s ' \n' ' '
}
expect_service() {
  local expected actual
  expected=$(printf '%b' "$3" | od -An -c | tr -s ' \n' ' ')
  actual=$(service_result "$1" "$2") || { fail "$1 failed"; return; }
  [ "$actual" = "$expected" ] || fail "$1 on '$2': got '$actual', expected '$expected'"
}

# --- The running editor and its services ---------------------------------
"$editor" 2>"$scratch/stderr" &
pid=$!
gdbus wait --session --timeout 20 $bus_name || { fail "the editor never appeared on the bus"; exit 1; }

expect_service sspSortParagraphsAscending 'pear\nApple\nbanana\napple\n' 'Apple\napple\nbanana\npear\n'
expect_service sspSortParagraphsDescending 'b\na\nc' 'c\nb\na'
expect_service sspUniqueParagraphs 'b\na\nb\r\n' 'a\nb\n'

# --- A second launch hands over and ends --------------------------------
timeout 20 "$editor" 2>"$scratch/second-stderr"
status=$?
[ $status -eq 0 ] || fail "the second launch ended with status $status"
[ -s "$scratch/second-stderr" ] && fail "the second launch complained: $(cat "$scratch/second-stderr")"
kill -0 "$pid" 2>/dev/null || fail "the first instance is gone after the second launch"

# --- Quitting ---------------------------------------------------------------
editor_call quit >/dev/null || fail "quit was not answered"
timeout 20 tail --pid="$pid" -f /dev/null
wait "$pid"
status=$?
pid=
[ $status -eq 0 ] || fail "the editor ended with status $status"
settings=$XDG_CONFIG_HOME/parasort/parasort-editor.conf
grep -q '^fontName=.' "$settings" 2>/dev/null || fail "no fontName in $settings"
grep -q '^fontSize=[0-9]' "$settings" 2>/dev/null || fail "no fontSize in $settings"
[ -s "$scratch/stderr" ] && fail "the editor wrote to standard error: $(cat "$scratch/stderr")"

# --- No session bus -----------------------------------------------------------
DBUS_SESSION_BUS_ADDRESS=unix:path=$scratch/no-bus "$editor" 2>"$scratch/no-bus-stderr" &
pid=$!
sleep 3
kill -0 "$pid" 2>/dev/null || fail "without a bus the editor did not keep running"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
pid=
lines=$(grep -c 'paragraph services are not offered' "$scratch/no-bus-stderr")
[ "$lines" -eq 1 ] || fail "without a bus the editor said so $lines times: $(cat "$scratch/no-bus-stderr")"

[ $failures -eq 0 ] && echo "all end-to-end checks passed"
exit $((failures > 0))
