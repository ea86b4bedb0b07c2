#!/bin/sh
# End-to-end test of the sdif-export executable, run by CTest: a reader that closes the pipe early, a
# standard output that cannot be written, the output file in place of standard output and nothing
# left beside it, running out of memory, and the exit statuses of a usage error and a file that is no
# SDIF. Usage: export_executable_test.sh PATH/TO/sdif-export SOURCE_DIR SANITIZED(0|1)
set -u
export=$(realpath "$1")
example="$2/examples/example.sdif"
sanitized=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The example's JSON lines are megabytes, far more than a pipe holds, so the export is still writing
# when head has gone.
{ "$export" --format jsonl "$example" 2>"$work/err"; echo $? >"$work/status"; } | head -n 1 >"$work/first"
[ "$(cat "$work/status")" -eq 0 ] && [ ! -s "$work/err" ] || fail "| head: status $(cat "$work/status"), $(cat "$work/err")"
grep -q '^{"time":0,' "$work/first" || fail "| head: first line $(cut -c 1-80 "$work/first")"

"$export" --help >/dev/full 2>"$work/err"
[ $? -eq 1 ] && grep -q "^sdif-export: standard output: " "$work/err" || fail "--help >/dev/full: $(cat "$work/err")"

# -o writes what standard output gets, and leaves nothing else in its folder.
mkdir "$work/out"
"$export" --matrix 1STF --format tsv "$example" >"$work/stdout.tsv" &&
  "$export" --matrix 1STF --format tsv -o "$work/out/spectra.tsv" "$example" || fail "export of the example"
cmp -s "$work/stdout.tsv" "$work/out/spectra.tsv" || fail "-o differs from standard output"
[ "$(ls -A "$work/out")" = spectra.tsv ] || fail "-o left $(ls -A "$work/out")"

"$export" --bogus "$example" 2>"$work/err"
[ $? -eq 2 ] && grep -q "'--bogus'" "$work/err" || fail "--bogus: $(cat "$work/err")"
printf 'RIFF\0\0\0\0WAVEfmt ' >"$work/sound.sdif"
"$export" -o "$work/out/sound.csv" "$work/sound.sdif" 2>"$work/err"
[ $? -eq 1 ] && grep -q "sound.sdif: damaged at byte 0: " "$work/err" && [ ! -e "$work/out/sound.csv" ] ||
  fail "not SDIF: $(cat "$work/err")"

# 8 MiB of address space holds the program and its libraries but not its 4 MiB hold. AddressSanitizer
# reserves terabytes, so the limit means nothing under it.
if [ "$sanitized" = 0 ]; then
  (ulimit -v 8192 && exec "$export" -o "$work/out/oom.csv" "$example") 2>"$work/err"
  [ $? -eq 1 ] && grep -q "example.sdif: out of memory" "$work/err" && [ ! -e "$work/out/oom.csv" ] &&
    [ "$(ls -A "$work/out")" = spectra.tsv ] || fail "out of memory: $(cat "$work/err"), left $(ls -A "$work/out")"
fi

[ "$failures" -eq 0 ] && echo "all passed"
exit "$failures"
