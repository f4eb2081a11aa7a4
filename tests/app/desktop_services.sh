#!/usr/bin/env bash
# The services on a headless Wayland desktop, called while another window
# (weston-flower) holds the keyboard focus, as from a global shortcut:
#   desktop_services.sh sway|mutter|kwin EDITOR FILTER STUCK_SOURCE
# For the editor on each of Qt's platform plugins (wayland, xcb): each of
# the three services and the general method round-trip through wl-copy and
# wl-paste, every plain-text type of the result giving the same bytes, each
# case with text of its own (a stale read shows); an image alone is refused
# with "Unsupported data type" and left on the clipboard. Once per desktop: a
# 50 MB clipboard is sorted as FILTER (parasort) sorts it; on the data-control
# desktops, an owner that never finishes handing out its text
# (STUCK_SOURCE) gets "No String Data" and keeps the clipboard. sway refuses
# to run as root: as root, it runs as nobody. Prints the route each editor
# took and the times of the large round trip.
set -u

if [ "${1:-}" != --inside ]; then
  desktop=$1 editor=$2 filter=$3 stuck=$4
  scratch=$(mktemp -d)
  chmod 755 "$scratch"
  mkdir -m 700 "$scratch/run"
  trap 'rm -rf "$scratch"' EXIT
  # Whoever stops the check is named (a signal shows as a bare "Exception"
  # in ctest's summary).
  for signal in TERM INT HUP PIPE; do
    trap "echo 'desktop_services.sh ($desktop): stopped by SIG$signal' >&2; exit 1" $signal
  done
  # The desktop runs the checks and ends when they end; their output and
  # status come back through files (kwin does not pass its child's output on).
  cat >"$scratch/checks.sh" <<EOF
#!/bin/sh
# On the desktop's session bus (mutter's has its remote desktop), else one of its own.
if [ -n "\${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  bash '$0' --inside '$desktop' '$editor' '$filter' '$stuck' '$scratch' >'$scratch/log' 2>&1
else
  dbus-run-session -- bash '$0' --inside '$desktop' '$editor' '$filter' '$stuck' '$scratch' >'$scratch/log' 2>&1
fi
echo \$? >'$scratch/status'
EOF
  chmod 755 "$scratch/checks.sh"
  unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
  export XDG_RUNTIME_DIR=$scratch/run HOME=$scratch LC_ALL=C.UTF-8
  case $desktop in
    sway)
      printf "xwayland enable\nexec sh -c '%s/checks.sh; swaymsg exit'\n" "$scratch" >"$scratch/sway.conf"
      as_user=()
      if [ "$(id -u)" -eq 0 ]; then
        # nobody may not reach the build tree: the programs go with it.
        mkdir "$scratch/bin"
        cp "$editor" "$filter" "$stuck" "$scratch/bin/"
        sed -i "s|'$editor' '$filter' '$stuck'|'$scratch/bin/${editor##*/}' '$scratch/bin/${filter##*/}' '$scratch/bin/${stuck##*/}'|" \
          "$scratch/checks.sh"
        cp "$0" "$scratch/bin/desktop_services.sh"
        sed -i "s|bash '$0'|bash '$scratch/bin/desktop_services.sh'|" "$scratch/checks.sh"
        chown -R 65534:65534 "$scratch"
        as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
      fi
      WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        timeout 200 "${as_user[@]}" sway -c "$scratch/sway.conf" >"$scratch/desktop.log" 2>&1
      ;;
    mutter)
      timeout 200 dbus-run-session -- mutter --headless --wayland --virtual-monitor 1024x768 \
        --wayland-display parasort-check -- "$scratch/checks.sh" >"$scratch/desktop.log" 2>&1
      ;;
    kwin)
      # The installed kwin_wayland carries a file capability that a container
      # cannot grant; a plain copy runs.
      cp /usr/bin/kwin_wayland "$scratch/kwin_wayland"
      timeout 200 dbus-run-session -- "$scratch/kwin_wayland" --virtual --xwayland --socket parasort-check \
        --exit-with-session "$scratch/checks.sh" >"$scratch/desktop.log" 2>&1
      ;;
    *) echo "unknown desktop $desktop" >&2; exit 2 ;;
  esac
  cat "$scratch/log" 2>/dev/null
  status=$(cat "$scratch/status" 2>/dev/null || echo "none")
  if [ "$status" != 0 ]; then
    echo "FAIL: the checks on $desktop ended with status $status; the desktop said:" >&2
    tail -n 30 "$scratch/desktop.log" >&2
    exit 1
  fi
  exit 0
fi

# --- Inside the desktop, on a session bus of its own --------------------------
desktop=$2 editor=$3 filter=$4 stuck=$5 scratch=$6
bus=io.github.parasort.Parasort
failures=0 pid= focus= keyboard=
fail() { echo "FAIL ($desktop, ${plugin:-}): $*" >&2; failures=$((failures + 1)); }
cleanup() { for p in $pid $focus $keyboard; do kill "$p" 2>/dev/null; done; }
trap cleanup EXIT
cd "$scratch" || exit 1

for _ in $(seq 100); do [ -n "${DISPLAY:-}" ] && [ -n "${WAYLAND_DISPLAY:-}" ] && break; sleep 0.1; done
[ -n "${WAYLAND_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ] || { fail "no WAYLAND_DISPLAY or DISPLAY"; exit 1; }

if [ "$desktop" = mutter ]; then
  # mutter's seat has a keyboard (which wl-copy and wl-paste need) once a
  # remote desktop session has typed a key; the session lasts as long as
  # this helper.
  mkfifo keep-keyboard
  /usr/bin/python3 -c '
import sys, dbus
bus = dbus.SessionBus()
name = "org.gnome.Mutter.RemoteDesktop"
path = bus.get_object(name, "/org/gnome/Mutter/RemoteDesktop").CreateSession(dbus_interface=name)
session = dbus.Interface(bus.get_object(name, path), name + ".Session")
session.Start()
for pressed in (True, False):
    session.NotifyKeyboardKeysym(dbus.UInt32(0xffe1), pressed)  # Shift
print("keyboard", flush=True)
sys.stdin.read()' <keep-keyboard >keyboard.out 2>&1 &
  keyboard=$!
  exec 9>keep-keyboard
  for _ in $(seq 100); do grep -q keyboard keyboard.out && break; sleep 0.1; done
  grep -q keyboard keyboard.out || { fail "no keyboard: $(cat keyboard.out)"; exit 1; }
fi

# copy FILE [TYPE]: puts FILE on the clipboard and waits until it is there.
copy() {
  wl-copy ${2:+--type "$2"} <"$1"
  for _ in $(seq 100); do
    wl-paste -n ${2:+--type "$2"} 2>/dev/null | cmp -s - "$1" && return 0
    sleep 0.05
  done
  fail "wl-copy did not take $1"
}

# call METHOD ARGUMENTS...: the service's reply, or its error.
call() {
  gdbus call --session --timeout 60 --dest $bus --object-path /io/github/parasort/Parasort \
    --method "io.github.parasort.Services.$1" "${@:2}" 2>&1
}

# serves EXPECTED METHOD ARGUMENTS...: the call succeeds, and every name of
# plain text on the clipboard gives EXPECTED's bytes.
serves() {
  local expected=$1 reply types type
  reply=$(call "${@:2}") || { fail "$2 failed: $reply"; return; }
  types=$(wl-paste --list-types)
  grep -qx 'text/plain;charset=utf-8' <<<"$types" || fail "$2: no text/plain;charset=utf-8 among: $types"
  for type in $(grep -E '^(text/plain(;charset=utf-8)?|UTF8_STRING|STRING|TEXT)$' <<<"$types"); do
    wl-paste -n --type "$type" >result
    cmp -s result "$expected" || fail "$2: $type gave '$(head -c 200 result)', not '$(head -c 200 "$expected")'"
  done
}

printf 'pear\nitem10\napple\nitem9\n' >ascending.in
printf 'apple\nitem9\nitem10\npear\n' >ascending.out
printf 'b\nc\na\n' >descending.in
printf 'c\nb\na\n' >descending.out
printf 'fig\nfig\nbanana\n' >unique.in
printf 'banana\nfig\n' >unique.out
printf 'x9\nx10\n' >arrange.in
printf 'x10\nx9\n' >arrange.out  # digits as characters: "1" before "9"
printf '\x89PNG\r\n\x1a\n' >image.png

check_editor() {
  # Under AddressSanitizer: Qt's wayland plugin leaves some of its Wayland
  # objects at exit, so leaks are looked for with the editor on xcb, which
  # runs the same clipboard code.
  leaks=$([ "$plugin" = wayland ] && echo 0 || echo 1)
  ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=$leaks \
    QT_QPA_PLATFORM=$plugin QT_LOGGING_RULES='parasort.services.info=true' "$editor" 2>"editor-$plugin.err" &
  pid=$!
  gdbus wait --session --timeout 20 $bus || { fail "the editor never appeared on the bus: $(cat "editor-$plugin.err")"; return; }
  # Another application takes the focus, as when a shortcut calls a service.
  weston-flower >/dev/null 2>&1 &
  focus=$!
  sleep 1
  echo "$desktop, editor on $plugin: $(grep -o 'clipboard route: .*' "editor-$plugin.err")"

  copy ascending.in && serves ascending.out sspSortParagraphsAscending ''
  copy descending.in && serves descending.out sspSortParagraphsDescending ''
  copy unique.in && serves unique.out sspUniqueParagraphs ''
  copy arrange.in && serves arrange.out sspArrangeParagraphs ascending "{'numeric': <false>}"

  copy image.png image/png
  reply=$(call sspSortParagraphsAscending '')
  grep -q 'Unsupported data type' <<<"$reply" || fail "an image gave: $reply"
  [ "$(wl-paste --list-types)" = image/png ] || fail "the image was not left alone: $(wl-paste --list-types)"

  if [ "$plugin" = wayland ]; then
    # Once per desktop: a large clipboard, as the filter sorts it.
    awk 'BEGIN { srand(7); for (i = 0; i < 2500000; i++) printf "%c%x line %d\n", 97 + int(rand() * 26), int(rand() * 1e9), i }' >large.in
    "$filter" <large.in >large.out
    copy large.in
    start=$(date +%s%N)
    serves large.out sspSortParagraphsAscending ''
    echo "$desktop: $(wc -c <large.in) bytes sorted and read back in $((($(date +%s%N) - start) / 1000000)) ms"
    if [ "$desktop" != mutter ]; then
      "$stuck" >stuck.out &
      stuck_pid=$!
      for _ in $(seq 100); do grep -q ready stuck.out && break; sleep 0.05; done
      reply=$(call sspSortParagraphsAscending '')
      grep -q 'No String Data' <<<"$reply" || fail "an owner that never finished gave: $reply"
      [ "$(wl-paste --list-types | tr '\n' ' ')" = 'text/plain;charset=utf-8 text/plain ' ] ||
        fail "the unfinished clipboard was replaced: $(wl-paste --list-types)"
      kill $stuck_pid
    fi
  fi

  gdbus call --session --dest $bus --object-path /io/github/parasort/Parasort/Editor \
    --method io.github.parasort.Editor.quit >/dev/null || fail "quit was not answered"
  wait "$pid" || fail "the editor ended with status $?: $(tail -n 40 "editor-$plugin.err")"
  kill $focus
  wait $focus 2>/dev/null
  pid= focus=
}

for plugin in wayland xcb; do check_editor; done
exit $((failures > 0))
