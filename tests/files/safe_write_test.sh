#!/usr/bin/env bash
# The safe write, through each of its callers: owners, modes, hard links,
# extended attributes and FIFOs, which git does not keep; inputs too large
# to keep, made on the spot; limits on memory and file size; and signals
# while a file is written. Each scene runs in a scratch directory holding
# "in" (a, b: sorted, so that the filter's result and the editor's saved
# copy are the same) and "old" (old contents); a user without root's rights
# runs the program as $AS_USER "$P".
#   bash safe_write_test.sh PROGRAM CALLER [ASAN]
# CALLER: "filter" (PROGRAM is parasort) or "editor" (PROGRAM is editor_save,
# the editor's Save as a command: "-o TARGET SOURCE"). The editor's caller
# runs the scenes that write with -o, and is held to the outcome (status,
# files, signals), not to the filter's messages. ASAN: built with the
# address sanitizer.
set -u
export P=$1 LC_ALL=C PATH=/usr/bin:/bin AS_USER=
caller=$2 sanitized=${3:-}
[ "$caller" = editor ] && editor=true || editor=false
[ "$(id -u)" = 0 ] && root=true AS_USER="setpriv --reuid=nobody --regid=nogroup --clear-groups" || root=false
umask 022
base=$(mktemp -d) failures=0
trap 'cd /; chmod -R u+rwx "$base"; rm -rf "$base"' EXIT
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
scene() { cd / && chmod -R u+rwx "$base" && rm -rf "$base/s" && mkdir "$base/s" && cd "$base/s" &&
  printf 'a\nb\n' >in && printf 'old contents\n' >old; }
left() { find . -name '.parasort-*' | grep -q .; }
state() { stat -c '%a %U %G' "$1" && getfattr -dm- "$1" 2>/dev/null; }
# expect SCRIPT STATUS STDOUT STDERR: STDOUT and STDERR as printf formats. The
# tables below separate them by @.
expect() {
  sh -c "$1" >.out 2>.err
  local status=$?
  [ $status = "$2" ] && { $editor || { printf -- "$3" | cmp -s - .out && printf -- "$4" | cmp -s - .err; }; } ||
    fail "$1: status $status, out '$(head -c 200 .out)', err '$(cat .err)'"
}
# until CONDITION: waits up to 30 s for CONDITION to hold.
until_() { for _ in $(seq 3000); do eval "$1" && return 0; sleep 0.01; done; return 1; }
stopped() { kill -STOP "$1" && until_ "grep -q '^[^)]*) T' /proc/$1/stat 2>/dev/null || ! kill -0 $1 2>/dev/null" &&
  kill -0 "$1" 2>/dev/null; }
# ended PID SIGNAL: the program ended by SIGNAL.
ended() { wait "$1"; local status=$?; [ $status = $((128 + $(kill -l "$2"))) ] || fail "SIG$2: status $status"; }

# Large inputs, limits and devices: the old file stays as it was, nothing is left behind.
no_space="parasort: standard output: No space left on device\n" too_large="parasort: old: File too large\n"
$root && cannot_create="parasort: /proc/version: cannot create a temporary file in '/proc': No such file or directory\n" ||
  cannot_create="parasort: /proc/version: Permission denied\n"
while IFS='@' read -r script status out err; do
  $editor && [[ $script != *'-o '* ]] && continue
  scene
  expect "$script" "$status" "$out" "$err"
  [ "$(cat old)" = "old contents" ] && ! left || fail "$script: the old file changed or a temporary file was left"
done <<EOF
yes "\$(printf 'line\303\251')" | head -n 500000 >large; printf '\370' >>large; "\$P" large@2@@parasort: large: invalid UTF-8 at byte 3500000\n
yes "\$(printf 'abcdefghi\303\251')" | head -n 18200000 | tr -d '\n' >line; "\$P" line | cmp - line@0@@
yes '' | head -n 5000000 | "\$P" -u@0@\n@
"\$P" in >/dev/full@1@@$no_space
seq 100000 | "\$P" >/dev/full@1@@$no_space
seq 20000 >long; ulimit -f 50; "\$P" -o old long@1@@$too_large
seq 20000 >long; ln old linked; ulimit -f 50; "\$P" -o old long@1@@$too_large
"\$P" -o /proc/version in@1@@$cannot_create
"\$P" -o new in && stat -c %a new@0@644\n@
"\$P" -o /dev/stdout in | cat@0@a\nb\n@
mkfifo pipe; cat pipe >got & "\$P" -o pipe in; wait; test -p pipe && cat got@0@a\nb\n@
EOF
if [ -z "$sanitized" ] && ! $editor; then  # the address sanitizer needs more address space than that
  scene
  # Many lines would be sorted through runs on disk: one 72 MB line cannot.
  expect "yes 'some line of text' | head -n 4000000 | tr -d '\\n' >many; ulimit -v 150000; \"\$P\" -o old many" 1 "" \
    "parasort: many: not enough memory\n"
fi

# An output file keeps its owner, mode, attributes and links: replaced, or
# written in place when it has another name.
while IFS='|' read -r arrange root_only in_place; do
  $root_only && ! $root && continue
  scene
  sh -c "$arrange" || fail "could not arrange: $arrange"
  before=$(state old) inode=$(stat -c %i old)
  expect '"$P" -o old in' 0 "" ""
  [ "$(state old)" = "$before" ] && printf 'a\nb\n' | cmp -s - old || fail "$arrange: $before -> $(state old)"
  [ "$(stat -c %i old)" = "$inode" ] && same=true || same=false
  [ $same = "$in_place" ] || fail "$arrange: written in place: $same"
  $in_place && ! cmp -s old 'second name' && fail "$arrange: the other name does not see the result"
done <<'EOF'
chmod 640 old|false|false
ln old 'second name'|false|true
setfattr -n user.origin -v kept old && setfacl -m u:nobody:r old|false|false
chmod 600 old && chown nobody:nogroup old|true|false
chmod 444 old|true|false
EOF

# Without root's rights, files are read and written where a shell could:
# the user may write in shared/ and owns locked/own, but not locked/.
scene
if sh -c '$AS_USER "$P" --version' >/dev/null 2>&1; then
  owner=$($root && echo nobody:nogroup || echo "$(id -u):$(id -g)")
  mkdir shared locked && cp old shared/read-only && cp old locked/own && cp old shared/roots && cp in secret &&
    chmod 000 secret && chmod 444 shared/read-only && chmod 666 shared/roots &&
    chown "$owner" shared shared/read-only locked locked/own && chmod 555 locked || fail "could not arrange"
  while IFS='|' read -r arguments status err target contents; do
    before=$([ -e "$target" ] && state "$target")
    expect "\$AS_USER \"\$P\" $arguments" "$status" "" "$err"
    [ -z "$target" ] && continue
    if [ -z "$contents" ]; then [ ! -e "$target" ] || fail "$arguments: $target was made"
    else printf -- "$contents" | cmp -s - "$target" && [ "$(state "$target")" = "$before" ] || fail "$arguments: $target"
    fi
  done <<'EOF'
-o nothing secret|1|parasort: secret: Permission denied\n|nothing|
-o shared/read-only in|1|parasort: shared/read-only: Permission denied\n|shared/read-only|old contents\n
-o locked/new in|1|parasort: locked/new: Permission denied\n|locked/new|
-o locked/own in|0||locked/own|a\nb\n
-o shared/roots in|0||shared/roots|a\nb\n
EOF
else
  echo "skipped: nobody cannot run the program here"
fi

# Every ending signal while a new file is written removes the temporary
# file and ends the program by that signal; the old file stays. One 64 MiB
# line (32 MiB, the most the editor opens, for the editor) is checked
# quickly, then written out slowly enough to be caught at it.
mib=$($editor && echo 32 || echo 64)
scene
head -c $((mib * 1048576)) /dev/zero | tr '\0' x >big
# caught PID: PID stopped while its temporary file is there; a busy wait,
# for the few tens of milliseconds a file of that size is being written.
caught() {
  local tries=0
  until compgen -G '.parasort-*' >/dev/null; do
    tries=$((tries + 1)); [ $tries -lt 2000000 ] && kill -0 "$1" 2>/dev/null || return 1
  done
  stopped "$1" && left
}
target=new
for signal in HUP INT QUIT TERM PIPE ALRM USR1 USR2 XCPU VTALRM PROF; do
  target=$([ $target = old ] && echo new || echo old)
  # Too late, on a busy machine: the old file back, and again.
  for attempt in 1 2 3 4 5; do
    # A shell starts it with SIGINT and SIGQUIT ignored, unless told otherwise.
    (ulimit -c 0; exec env --default-signal "$P" -o $target big) &
    pid=$!
    caught $pid && break
    kill -CONT $pid; wait $pid; rm -f new .parasort-*; printf 'old contents\n' >old
  done
  left || fail "SIG$signal: no temporary file to catch"
  kill -s $signal $pid; kill -CONT $pid
  ended $pid $signal
  ! left && [ "$(cat old)" = "old contents" ] && [ ! -e new ] || fail "SIG$signal: something was left"
done

# A signal while a file with another name is written in place waits until
# the file is whole. A larger old file needs no room reserved, so the
# result's first block is the first change; a sparse one is written as
# slowly as a new file.
scene
yes "$(head -c 1023 /dev/zero | tr '\0' x)" | head -n $((mib * 1024)) >big
# On a busy machine the write may be over between two looks: again, from a
# fresh old file.
for attempt in 1 2 3 4 5; do
  rm -f old linked && truncate -s $((mib + 1))M old && ln old linked
  "$P" -o old big &
  pid=$!
  until_ '[ "$(head -c 1 old)" = x ] || ! kill -0 $pid 2>/dev/null' && stopped $pid && break
  wait $pid
done
kill -0 $pid 2>/dev/null || fail "never caught writing in place"
kill -TERM $pid; kill -CONT $pid
ended $pid TERM
cmp -s big linked || fail "the file written in place is not whole"

# A signal while blocked on a reader that never reads ends the program.
$editor && exit $((failures > 0))
scene
head -c 4194304 /dev/zero | tr '\0' x >big && mkfifo pipe
for signal in INT TERM; do
  exec 3<>pipe  # the reader
  env --default-signal "$P" big >pipe &
  pid=$!
  until_ "grep -q pipe_write /proc/$pid/wchan" || fail "SIG$signal: the program never waited on the pipe"
  kill -s $signal $pid
  ended $pid $signal
  exec 3<&-
done

exit $((failures > 0))
