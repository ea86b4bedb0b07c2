#!/bin/sh
# sdif-render's failures, run by CTest: whatever fails, the input or the output, the run names the
# file and the reason, exits with 1 and leaves no image behind, and an input is never overwritten; a
# signal that ends it leaves nothing behind either.
# Usage: render_failures_test.sh PATH/TO/sdif-render SOURCE_DIR [SANITIZED]
set -u
render=$(realpath "$1")
source=$2
sanitized=${3:-0}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"  # for the run as nobody
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

example="$source/examples/example.sdif"
cp "$example" "$work/good.sdif"
head -c 12 "$example" >"$work/damaged.sdif"
printf 'RIFF\0\0\0\0WAVEfmt ' >"$work/sound.sdif"
head -c 16 "$example" >"$work/empty.sdif"  # the file header and no frame
cp "$example" "$work/huge.sdif"
truncate -s 65M "$work/huge.sdif"
mkfifo "$work/pipe.sdif"
cp "$example" "$work/self.png"

# Each case runs in a fresh output folder $out; expect NAME FILE STATUS checks the run just made.
fresh() {
  out="$work/out-$1"
  mkdir "$out"
}
expect() {
  [ "$3" -eq 1 ] || fail "$1: exit status $3"
  grep -qF "$2: " "$work/errors" || fail "$1: the message does not name $2: $(cat "$work/errors")"
  [ -z "$(ls -A "$out")" ] || fail "$1: left $(ls -A "$out")"
}

# Unwritable to the run; root, which may write anywhere, runs it as nobody.
fresh unwritable
chmod 555 "$out"
as_nobody=""
[ "$(id -u)" -eq 0 ] && as_nobody="setpriv --reuid=nobody --regid=nogroup --clear-groups"
$as_nobody "$render" -o "$out/" "$work/good.sdif" 2>"$work/errors"
expect unwritable "$out/good.png" $?

# Writes past the first 512 bytes fail, so the picture breaks off in the middle; the program does not
# die of SIGXFSZ.
fresh full
(ulimit -f 1 && exec "$render" -o "$out/" "$work/good.sdif") 2>"$work/errors"
expect full "$out/good.png" $?

fresh damaged
"$render" -o "$out/" "$work/damaged.sdif" 2>"$work/errors"
expect damaged "$work/damaged.sdif" $?
fresh not-sdif
"$render" -o "$out/" "$work/sound.sdif" 2>"$work/errors"
expect not-sdif "$work/sound.sdif" $?
fresh missing
"$render" -o "$out/" "$work/missing.sdif" 2>"$work/errors"
expect missing "$work/missing.sdif" $?
fresh folder
"$render" -o "$out/" "$work" 2>"$work/errors"
expect folder "$work" $?
grep -q "$work: Is a directory" "$work/errors" || fail "folder: $(cat "$work/errors")"
fresh no-streams
"$render" -o "$out/" "$work/empty.sdif" 2>"$work/errors"
expect no-streams "$work/empty.sdif" $?
fresh no-pitch
"$render" --view pitch -o "$out/" "$work/empty.sdif" 2>"$work/errors"
expect no-pitch "$work/empty.sdif" $?
fresh outside
"$render" --time 5:6 -o "$out/" "$work/good.sdif" 2>"$work/errors"
expect outside "$work/good.sdif" $?
fresh huge
"$render" --thumbnail 128 "$work/huge.sdif" "$out/huge.png" 2>"$work/errors"
expect huge "$work/huge.sdif" $?
fresh pipe
"$render" --thumbnail 128 "$work/pipe.sdif" "$out/pipe.png" 2>"$work/errors"
expect pipe "$work/pipe.sdif" $?
fresh self
"$render" -o "$work/self.png" "$work/self.png" 2>"$work/errors"
expect self "$work/self.png" $?
cmp -s "$example" "$work/self.png" || fail "the input was overwritten"

# Ended by a signal while writing a large picture: the temporary file goes with the program, which
# ends as the signal ends it. The shell starts background commands with SIGINT and SIGQUIT ignored,
# and SIGQUIT would leave a core file.
for case in HUP:1 INT:2 QUIT:3 USR1:10 USR2:12 PIPE:13 TERM:15; do
  signal=${case%:*}
  fresh "$signal"
  (ulimit -c 0 && exec env --default-signal "$render" --view pitch --size 8192x4096 -o "$out/" "$work/good.sdif") &
  pid=$!
  tries=0
  while [ -z "$(ls -A "$out")" ] && [ $tries -lt 3000 ]; do sleep 0.01; tries=$((tries + 1)); done
  kill -"$signal" $pid
  wait $pid
  status=$?
  [ $status -eq $((128 + ${case#*:})) ] && [ -z "$(ls -A "$out")" ] ||
    fail "$signal: status $status, left $(ls -A "$out")"
done

# Memory running out, where address-space limits mean something (AddressSanitizer reserves terabytes):
# in the load (a result code), in the views of a loaded stream and in the picture (exceptions). The
# large file is 100 MiB of empty "1TRC" frames, whose records take about 270 MiB once loaded.
if [ "$sanitized" = 0 ]; then
  printf 'SDIF\0\0\0\010\0\0\0\003\0\0\0\001' >"$work/large.sdif"
  printf '1TRC\0\0\0\020\0\0\0\0\0\0\0\0\0\0\0\001\0\0\0\0' >"$work/frames"
  for _ in $(seq 22); do cat "$work/frames" "$work/frames" >"$work/more" && mv "$work/more" "$work/frames"; done
  cat "$work/frames" >>"$work/large.sdif"
  for case in "140 large.sdif" "300 large.sdif" "300 good.sdif --size 8192x8192"; do
    set -- $case
    fresh "memory-$1-$2"
    prlimit --as=$(($1 << 20)) "$render" ${3:-} ${4:-} -o "$out/" "$work/$2" 2>"$work/errors"
    expect "$1 MiB" "$work/$2" $?
    grep -qx "sdif-render: $work/$2: out of memory" "$work/errors" || fail "$1 MiB: $(cat "$work/errors")"
  done
fi

# One failing input among good ones: the others are still written.
fresh mixed
"$render" -o "$out/" "$work/good.sdif" "$work/damaged.sdif" 2>/dev/null
[ $? -eq 1 ] && [ "$(ls -A "$out")" = "good.png" ] || fail "mixed: $(ls -A "$out")"

[ "$failures" -eq 0 ] && echo "all passed"
exit "$failures"
