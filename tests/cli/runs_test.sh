#!/usr/bin/env bash
# Texts larger than the memory budget, sorted through runs on disk: the
# result is the in-memory result, byte for byte; --print-keys sorted as plain
# bytes is the filter's order; nothing is left in the temporary directory
# whatever ends the program; a full temporary directory is an error that
# leaves -o's file alone.
#   bash runs_test.sh PROGRAM [ASAN]    (ASAN: built with the address sanitizer)
set -u
export P=$(realpath "$1") LC_ALL=C PATH=/usr/bin:/bin
sanitized=${2:-}
base=$(mktemp -d) failures=0
trap 'rm -rf "$base"' EXIT
cd "$base" || exit 2
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
until_() { for _ in $(seq 3000); do eval "$1" && return 0; sleep 0.01; done; return 1; }

# text SEED LINES [TERMINATOR]: random lines of words that collate alike
# (case, accents, digits by value, punctuation, blanks), some empty, some
# repeated, each ended by TERMINATOR (default LF).
text() {
  awk -v seed="$1" -v lines="$2" -v terminator="${3:-\n}" 'BEGIN {
    srand(seed)
    n = split("apple Apple APPLE éclair Eclair eclair item9 item10 item010 a-b ab Öl öl ol zebra Zürich " \
              "ångström Ångström file01 file1 x,y x;y Straße strasse ﬁle naïve naive 9 10 ½ ǅ", word, " ")
    for (i = 0; i < lines; i++) {
      line = ""
      count = int(rand() * 4)
      for (w = 0; w < count; w++) line = line (w > 0 ? (rand() < 0.8 ? " " : "\t") : "") word[1 + int(rand() * n)]
      if (rand() < 0.05) line = " " line
      printf "%s%s", line, terminator
    }
  }'
}

# The road through runs against the road in memory, with budgets that make
# anything from a few runs to hundreds (several merge passes), from a file
# and from a pipe.
for seed in 1 2 3; do
  text $seed 2000 >in$seed
  printf 'no final newline' >>in$seed
done
text 4 1500 '\r\n' >crlf
text 5 1500 '\0' >nul
while IFS='|' read -r options input; do
  "$P" $options "$input" >memory 2>memory.err || fail "$options $input: in memory: $(cat memory.err)"
  for size in 1K 16K; do
    "$P" $options -S $size "$input" >runs 2>runs.err && cmp -s memory runs ||
      fail "$options -S $size $input: through runs differs: $(cat runs.err)"
  done
  "$P" $options -S 4K <"$input" >runs 2>runs.err && cmp -s memory runs || fail "$options -S 4K <$input: from a pipe"
done <<'EOF'
|in1
--descending|in2
--unique|in3
--by-length|in1
-k 2|in2
-t , -k 2,2 -u|in3
-b -k 2|in1
--locale sv_SE|in2
--locale de --strength primary -u|in3
--locale ja --strength tertiary|in1
--locale tr --no-numeric -d|in2
-k 2,2 -k 1,1r|in3
-t , -k 2n|in1
-k 1,1M -r|in2
-k 2V --locale de|in3
-R --random-seed 5|in1
-k 2,2 -u|in2
|crlf
-u|crlf
-z|nul
-z -u --locale sv_SE|nul
EOF

# A byte order mark stays in front; invalid UTF-8 in a later piece is found
# with its offset in the whole input, and nothing is written.
{ printf '\357\273\277'; text 6 500; } >bom
"$P" bom >memory && "$P" -S 1K bom >runs && cmp -s memory runs || fail "byte order mark through runs"
{ text 7 3000; printf '\377\n'; } >bad
size=$(($(stat -c %s bad) - 2))
"$P" -S 1K -o bad.out bad >runs 2>runs.err
[ $? = 2 ] && [ ! -e bad.out ] && [ "$(cat runs.err)" = "parasort: bad: invalid UTF-8 at byte $size" ] ||
  fail "invalid UTF-8 through runs: $(cat runs.err)"

# Several files larger than the budget go through runs, and with a pipe
# among them they are read as they come (in memory when they fit): either
# way they come out as the files read whole do: an unended file still ends
# its paragraph, an empty one adds nothing, only the first file's byte order
# mark stays (and a file of only that mark ends no paragraph), a CR ending
# one file and an LF starting the next are one CR LF, the positions
# --print-keys shows are those of the text read as one; invalid UTF-8 is
# named with its file and its offset there.
printf 'unended last line' >unended
: >empty
{ printf '\357\273\277'; text 10 800; } >bom2
{ printf '\357\273\277'; text 11 300 '\r\n'; } >bomcrlf
text 12 700 '\0' >nul2
printf 'ends with CR\r' >crend
printf '\357\273\277' >bomonly
{ printf '\n'; text 14 300; } >lfstart
while IFS='|' read -r options inputs; do
  "$P" $options $inputs >memory 2>memory.err || fail "$options $inputs: in memory: $(cat memory.err)"
  "$P" $options -S 1K $inputs >runs 2>runs.err && cmp -s memory runs ||
    fail "$options -S 1K $inputs: several files through runs differ: $(cat runs.err)"
  read -ra files <<<"$inputs"
  piped=("${files[@]}")
  piped[1]=-
  for size in 1K 1G; do
    cat "${files[1]}" | "$P" $options -S $size "${piped[@]}" >runs 2>runs.err && cmp -s memory runs ||
      fail "$options -S $size ${piped[*]} <${files[1]}: with a pipe among them: $(cat runs.err)"
  done
done <<'EOF'
|in1 unended in2
-u|unended empty in3 bom2
|bom2 in1 unended
-k 2 --print-keys|unended bomcrlf in2
--print-keys|empty unended bom2 unended
-r|bomcrlf unended in3
-z|nul nul2
--print-keys|crend lfstart in1
|crend lfstart in1
-u|in1 crend lfstart crend lfstart
|in1 crend bomonly empty lfstart
|bomonly in1 unended
-u|bomonly bom2 in2
EOF
# A pipe that gives its byte order mark a byte at a time.
"$P" -S 1K unended in1 >memory
{ printf '\357'; sleep 0.2; printf '\273'; sleep 0.2; printf '\277'; sleep 0.2; cat in1; } |
  "$P" -S 1K unended - >runs 2>runs.err && cmp -s memory runs || fail "a byte order mark in three reads: $(cat runs.err)"
{ text 13 400; printf 'caf\351\n'; } >bad2
size=$(stat -c %s bad2)
"$P" -S 1K in1 bad2 >runs 2>runs.err
[ $? = 2 ] && [ "$(cat runs.err)" = "parasort: bad2: invalid UTF-8 at byte $((size - 2))" ] ||
  fail "invalid UTF-8 in a later file through runs: $(cat runs.err)"
"$P" in1 - <bad2 >runs 2>runs.err
[ $? = 2 ] && [ "$(cat runs.err)" = "parasort: standard input: invalid UTF-8 at byte $((size - 2))" ] ||
  fail "invalid UTF-8 in a pipe after a file: $(cat runs.err)"

# --check reads a piece at a time: the verdict and the line it names are
# those of the text read whole, wherever the disorder falls (first in a
# piece too); invalid UTF-8 after a disorder is still trouble.
text 15 150 >check.in
printf 'x\n' >>check.in
for options in "" "-u" "-k 2 -r"; do
  "$P" $options check.in >check.sorted
  lines=$(wc -l <check.sorted)
  for swap in $(seq 0 "$lines"); do
    # The sorted text with lines SWAP and SWAP+1 exchanged (none for 0).
    awk -v swap="$swap" 'NR == swap { held = $0; next } { print } NR == swap + 1 { print held }' check.sorted >check.text
    "$P" $options -c check.text >check.whole 2>&1
    whole=$?
    "$P" $options -c -S 1K check.text >check.pieces 2>&1
    [ $? = $whole ] && cmp -s check.whole check.pieces ||
      fail "$options -c, lines $swap and $((swap + 1)) swapped, in pieces: $(cat check.pieces) against $(cat check.whole)"
  done
done
{ printf 'b\na\n'; text 16 300; printf 'caf\351\n'; } >check.bad
"$P" -c -S 1K check.bad >/dev/null 2>&1
[ $? = 2 ] || fail "-c in pieces: invalid UTF-8 after a disorder is not trouble"

# --print-keys: the lines sorted as bytes, keys cut off, are the filter's
# result, in several locales and orders, in memory and through runs; -u is
# a sort -u on the key before the space.
text 8 3000 >keyed
while IFS='|' read -r options; do
  "$P" $options keyed >memory
  for size in '' '-S 2K'; do
    "$P" $options $size --print-keys keyed | LC_ALL=C sort -s | cut -f2- >recipe
    cmp -s memory recipe || fail "$options $size --print-keys | sort | cut differs from $options"
  done
done <<'EOF'

--descending
--unique
--by-length
-k 2 --locale sv_SE
--locale de -d --strength tertiary
--locale es -t , -k 2
--locale zh --unique
EOF
"$P" --print-keys keyed | LC_ALL=C sort -s -u -t ' ' -k 1,1 | cut -f2- >recipe
"$P" -u keyed | cmp -s - recipe || fail "--print-keys | sort -u on the key differs from --unique"

# Signals while the runs are merged into a pipe that nobody reads: the
# program ends by the signal, the -T directory was used and is left empty.
text 9 200000 >large
mkdir spill && mkfifo fifo
for signal in HUP INT TERM PIPE USR1 KILL; do
  exec 3<>fifo
  env --default-signal "$P" -S 64K -T spill large >fifo &
  pid=$!
  until_ "grep -q pipe_write /proc/$pid/wchan 2>/dev/null" || fail "SIG$signal: never caught merging"
  ls -l /proc/$pid/fd 2>/dev/null | grep -q "$base/spill" || fail "SIG$signal: no run in the -T directory"
  kill -s $signal $pid
  wait $pid
  status=$?
  [ $status = $((128 + $(kill -l $signal))) ] || fail "SIG$signal: status $status"
  [ -z "$(ls -A spill)" ] || fail "SIG$signal: left $(ls -A spill)"
  exec 3<&-
done
rm -f fifo

# Every exit path leaves nothing: success, bad input, a failed write.
for script in '"$P" -S 64K -T spill large >/dev/null' '"$P" -S 64K -T spill bad >/dev/null' \
  '"$P" -S 64K -T spill large >/dev/full'; do
  sh -c "$script" 2>/dev/null
  [ -z "$(ls -A spill)" ] || fail "$script: left $(ls -A spill)"
done

# A full temporary directory (a small tmpfs, mounted in a namespace of our
# own): "No space left on device" naming it, status 1, -o's file unchanged.
if unshare -rm true 2>/dev/null; then
  printf 'old contents\n' >old
  unshare -rm sh -c 'mkdir -p small && mount -t tmpfs -o size=64k none small &&
    "$P" -S 32K -T small -o old large; echo $? >status' 2>err
  [ "$(cat status)" = 1 ] && [ "$(cat err)" = "parasort: small: No space left on device" ] &&
    [ "$(cat old)" = "old contents" ] || fail "full temporary directory: status $(cat status), $(cat err)"
  # With two directories, runs go to each in turn: the full one is named.
  unshare -rm sh -c 'mkdir -p small roomy && mount -t tmpfs -o size=64k none small &&
    "$P" -S 32K -T roomy -T small large >/dev/null; echo $? >status' 2>err
  [ "$(cat err)" = "parasort: small: No space left on device" ] || fail "-T in turn: $(cat err)"
else
  echo "skipped: no user namespace to mount a small tmpfs in"
fi

# Runs beyond the file size limit: an error naming the directory, not death.
(ulimit -f 64; "$P" -S 64K -T spill large >/dev/null 2>err; echo $? >status)
[ "$(cat status)" = 1 ] && [ "$(cat err)" = "parasort: spill: File too large" ] || fail "ulimit -f: $(cat err)"

# A missing temporary directory is named.
"$P" -S 1K -T missing in1 >/dev/null 2>err
[ $? = 1 ] && [ "$(cat err)" = "parasort: missing: No such file or directory" ] || fail "missing -T: $(cat err)"

# A regular file is mapped, its pages let go as it is checked and keyed and
# read again for the result: the same as the text read from a pipe, for a
# text of many check blocks, key-making steps and two parts; an ill-formed
# byte far in is found at the same byte; and a file that the result is
# written into (in place, as it has a second name, or as standard output)
# is read, not mapped, so that writing cannot change what is being sorted.
text 12 1500000 >mapped
cat mapped | "$P" >piped
"$P" mapped >result && cmp -s piped result || fail "a mapped file sorts as a pipe does"
{ head -c 12000000 mapped; printf 'bad \377 byte\n'; tail -c 100000 mapped; } >ill-formed
"$P" ill-formed >/dev/null 2>err; status=$?
[ $status = 2 ] && [ "$(cat err)" = "parasort: ill-formed: invalid UTF-8 at byte 12000004" ] ||
  fail "an ill-formed byte far into a mapped file: status $status, $(cat err)"
head -n 300000 mapped >in-place && ln in-place in-place.link
cat in-place | "$P" >expected
"$P" -o in-place in-place && cmp -s expected in-place || fail "-o onto a mapped input with two names"
head -n 300000 mapped >as-output
"$P" as-output 1<>as-output && cmp -s expected as-output || fail "standard output into the input itself"
rm -f mapped piped result ill-formed in-place in-place.link expected as-output

# Under an address-space limit the default budget follows it: 14 MB sort
# through runs, as they sort without the limit.
if [ -z "$sanitized" ]; then  # the address sanitizer needs more address space than that
  text 10 1500000 >huge
  "$P" huge >memory
  (ulimit -v 250000; "$P" huge >runs 2>runs.err) && cmp -s memory runs || fail "ulimit -v 250000: $(cat runs.err)"
  # -c holds a piece at a time (read whole, the 14 MB took more than 100 MB).
  (ulimit -v 100000; "$P" -c memory 2>runs.err) || fail "-c under ulimit -v 100000: $(cat runs.err)"
  # So do several inputs with a pipe among them (read whole, its 14 MB
  # took more than 150 MB).
  "$P" in1 huge >memory
  (ulimit -v 150000; cat huge | "$P" in1 - >runs 2>runs.err) && cmp -s memory runs ||
    fail "a file and a pipe under ulimit -v 150000: $(cat runs.err)"
  # -m into a file streams too: ten sorted files of 14 MB merged into an
  # eleventh under the same limit, as the merge to standard output gives them.
  copies=(memory memory memory memory memory memory memory memory memory memory)
  "$P" -m "${copies[@]}" >merged
  (ulimit -v 250000; "$P" -m -o merged.out "${copies[@]}" 2>runs.err) && cmp -s merged merged.out ||
    fail "-m -o under ulimit -v 250000: $(cat runs.err)"
fi

exit $((failures > 0))
