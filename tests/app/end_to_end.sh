#!/usr/bin/env bash
# The editor as a desktop session meets it, on an X display and a private
# session bus:
#   xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" dbus-run-session -- \
#     bash end_to_end.sh path/to/parasort-editor path/to/desktop-entry
# The desktop entry's actions on text that xclip put on the clipboard; a
# second launch handing over to the first; the saved font restored at start
# and saved again (as a float) when the bus asks the editor to quit; without
# a bus, the editor runs, says so once and quits on each termination signal,
# saving the font; a file named on the command line, changed by typing, the
# editor ended by SIGTERM: the next start offers the changes back, and Save
# writes them into the file, keeping its line endings and its hard link.
# Nothing else on standard error.
set -u
editor=$1 desktop_entry=$2
scratch=$(mktemp -d)
export XDG_CONFIG_HOME=$scratch/config XDG_STATE_HOME=$scratch/state XDG_RUNTIME_DIR=$scratch
settings=$XDG_CONFIG_HOME/parasort/parasort-editor.conf
failures=0 pid=
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$scratch"' EXIT
# ended HOW EXPECTED-STDERR: status 0, a font saved, standard error as expected.
ended() {
  wait "$pid" || fail "$1: the editor ended with status $?"
  pid=
  grep -qx 'fontName=.*[^ ]' "$settings" && grep -qx 'fontSize=[0-9.]*' "$settings" || fail "$1: no font saved"
  [ "$(cat "$scratch/stderr")" = "$2" ] || fail "$1: standard error: $(cat "$scratch/stderr")"
}

mkdir -p "${settings%/*}" && printf '[General]\nfontName=DejaVu Serif\nfontSize=12.1\n' >"$settings"
"$editor" 2>"$scratch/stderr" &
pid=$!
gdbus wait --session --timeout 20 io.github.parasort.Parasort || { fail "the editor never appeared on the bus"; exit 1; }

# The final line breaks count.
while IFS= read -r command; do
  printf 'b\na\nb\n' | xclip -selection clipboard -i  # which takes the clipboard in the background
  for _ in $(seq 100); do [ "$(xclip -selection clipboard -o)" = "$(printf 'b\na\nb')" ] && break; sleep 0.05; done
  eval "$command" >/dev/null || fail "$command failed"
  results+="$(xclip -selection clipboard -o | tr '\n' ,) "
done < <(grep -oP '^Exec=\Kdbus-send .*' "$desktop_entry")
[ "$results" = "a,b,b, b,b,a, a,b, " ] || fail "the desktop entry's actions gave '$results'"

second=$(timeout 20 "$editor" 2>&1) && [ -z "$second" ] || fail "the second launch ended with status $? and said: $second"
kill -0 "$pid" 2>/dev/null || fail "the first instance is gone after the second launch"

gdbus call --session --dest io.github.parasort.Parasort --object-path /io/github/parasort/Parasort/Editor \
  --method io.github.parasort.Editor.quit >/dev/null || fail "quit was not answered"
ended "quit" ""
grep -qx 'fontName=DejaVu Serif' "$settings" && grep -qx 'fontSize=12.100000381469727' "$settings" ||
  fail "the saved font did not come back: $(cat "$settings")"

for signal in TERM INT HUP; do
  rm -f "$settings" "$scratch/stderr"
  DBUS_SESSION_BUS_ADDRESS=unix:path=$scratch/no-bus "$editor" 2>"$scratch/stderr" &
  pid=$!
  for _ in $(seq 100); do grep -q "not offered" "$scratch/stderr" && break; sleep 0.1; done
  kill -s $signal "$pid"
  ended "SIG$signal without a bus" "parasort-editor: the paragraph services are not offered: no D-Bus session bus"
done
# Unsaved changes when SIGTERM comes: kept, offered back, saved.
printf 'b\r\na\r\n' >"$scratch/list.txt" && ln "$scratch/list.txt" "$scratch/linked.txt"
window() { for _ in $(seq 100); do xdotool search --pid "$pid" --onlyvisible --name "$1" && return 0; sleep 0.1; done; return 1; }
"$editor" "$scratch/list.txt" 2>"$scratch/stderr" &
pid=$!
w=$(window '^list.txt') && xdotool windowfocus --sync "$w" key ctrl+End type c || fail "no window for list.txt"
window '^list.txt\*' >/dev/null || fail "the title shows no change: $(xdotool getwindowname "$w")"
kill -TERM "$pid"
ended "SIGTERM with changes" ""
"$editor" 2>"$scratch/stderr" &
pid=$!
question=$(window '') && sleep 0.5 && question=$(xdotool search --pid "$pid" --onlyvisible | tail -1) &&
  xdotool windowfocus --sync "$question" key Return || fail "no question at the next start"
w=$(window '^list.txt\*') && xdotool windowfocus --sync "$w" key ctrl+s || fail "the changes were not offered back"
window '^list.txt ' >/dev/null || fail "not saved"
printf 'b\r\nac\r\n' | cmp -s - "$scratch/linked.txt" || fail "the file holds $(od -c "$scratch/list.txt")"
gdbus call --session --dest io.github.parasort.Parasort --object-path /io/github/parasort/Parasort/Editor \
  --method io.github.parasort.Editor.quit >/dev/null || fail "quit was not answered"
ended "quit after saving" ""
exit $((failures > 0))
