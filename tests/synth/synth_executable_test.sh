#!/bin/sh
# End-to-end test of the sdif-synth executable, run by CTest: the bundled example into a WAV file
# with its summary, clipped and normalized, and the failures that only a process meets, each leaving
# no file behind: --help into a full disk, a full disk, a termination in the middle of writing and,
# outside the sanitizers, memory running out.
# Usage: synth_executable_test.sh PATH/TO/sdif-synth SOURCE_DIR SANITIZED(0|1)
set -u
synth=$(realpath "$1")
example="$2/examples/example.sdif"
sanitized=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
empty() { [ -z "$(ls -A "$work/out")" ] || fail "$1 left $(ls -A "$work/out")"; rm -rf "$work/out"; mkdir "$work/out"; }
mkdir "$work/out"

"$synth" --frame 1TRC -o "$work/out/partials.wav" "$example" 2>"$work/summary" || fail "the example: $(cat "$work/summary")"
[ "$(head -c 4 "$work/out/partials.wav")" = RIFF ] || fail "the example's sound is no WAV file"
grep -q '^  partials     12, at most 12 at once$' "$work/summary" || fail "summary: $(cat "$work/summary")"
rm "$work/out/partials.wav"
# The example's partials peak above full scale: 16-bit samples clip, unless normalized.
"$synth" --frame 1TRC --bits 16 -o "$work/out/clipped.wav" "$example" 2>"$work/summary"
grep -q '^  clipped      [1-9][0-9]* samples$' "$work/summary" || fail "clipped: $(cat "$work/summary")"
"$synth" --frame 1TRC --bits 16 --normalize -o "$work/out/normalized.wav" "$example" 2>"$work/summary"
grep -q '^  peak         -1.00 dBFS$' "$work/summary" && grep -q '^  clipped      0 samples$' "$work/summary" ||
  fail "normalized: $(cat "$work/summary")"
rm "$work/out/clipped.wav" "$work/out/normalized.wav"

# An answer that cannot be written is a failure.
"$synth" --help >/dev/full 2>"$work/errors"
[ $? -eq 1 ] && grep -q "^sdif-synth: standard output: " "$work/errors" || fail "--help into a full disk"

# Writes past the first 512 bytes fail.
(ulimit -f 1 && trap '' XFSZ && exec "$synth" -o "$work/out/full.flac" "$example") 2>"$work/errors"
[ $? -eq 1 ] && grep -q "full.flac: " "$work/errors" || fail "full disk: $(cat "$work/errors")"
empty "a full disk"

# Terminated while writing a long silence after the stream.
"$synth" --time 0:3000 -o "$work/out/long.wav" "$example" 2>/dev/null &
pid=$!
sleep 0.3
kill -TERM "$pid"
wait "$pid" 2>/dev/null
[ $? -ne 0 ] || fail "a termination did not stop the run"
empty "a termination"

# Out of memory: 65536 partials in each of three frames, under limits on the address space from
# where the program cannot start to where it has room; every run that starts must either write its
# sound or report running out of memory and leave nothing.
if [ "$sanitized" = 0 ]; then
  perl -e 'print "SDIF", pack("N3", 8, 3, 1);
    for $f (0 .. 2) {
      print "1TRC", pack("N", 32 + 65536 * 12), pack("d>", $f / 100), pack("N2", 1, 1), "1TRC", pack("N3", 0x104, 65536, 3);
      print pack("N3", $_, 1000, 0) for 0 .. 65535;
    }' >"$work/many.sdif"
  oom=0
  for mib in $(seq 8 2 40); do
    prlimit --as=$((mib * 1024 * 1024)) "$synth" -o "$work/out/many.wav" "$work/many.sdif" 2>"$work/errors"
    case $? in
      0) rm -f "$work/out/many.wav" ;;
      1) grep -q "many.sdif: out of memory$" "$work/errors" && oom=1 || fail "at $mib MiB: $(cat "$work/errors")"
         empty "out of memory at $mib MiB" ;;
    esac
  done
  [ "$oom" = 1 ] || fail "no limit ran the program out of memory"
fi

[ "$failures" -eq 0 ] && echo "all passed"
exit "$failures"
