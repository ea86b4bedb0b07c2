#!/bin/sh
# End-to-end test of the sdif-render executable, run by CTest: pictures with DISPLAY unset, the names
# of batch output, ranges limited to the streams', thumbnail sizes, the .thumbnailer entry's Exec line run as a file manager runs it,
# the exit statuses of --help, --version and a usage error, and the man page through mandoc's checker.
# Usage: render_executable_test.sh PATH/TO/sdif-render SOURCE_DIR
set -u
render=$(realpath "$1")
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Width, height, bit depth and colour type from a PNG's header.
header() { od -An -tu1 -j16 -N10 "$1" | awk '{ print $3 * 256 + $4, $7 * 256 + $8, $9, $10 }'; }
# A complete, undamaged PNG of that size, 8-bit RGB (colour type 2).
check_png() {
  [ -f "$1" ] || { fail "$1 was not written"; return; }
  pngfix --quiet "$1" || fail "$1 is damaged"
  [ "$(header "$1")" = "$2 8 2" ] || fail "$1 is $(header "$1"), not $2 8-bit RGB"
}

cp "$source/examples/example.sdif" "$work/in put.sdif"

env -u DISPLAY "$render" -o "$work/picture.png" "$work/in put.sdif" || fail "no picture without a display"
check_png "$work/picture.png" "430 334"

# Batch output is named after each input, in the folder given with or without its slash, or here.
mkdir -p "$work/a" "$work/b" "$work/out1" "$work/out2" "$work/here" "$work/clash"
for name in a/take.sdif b/voice.sdf a/two.dots.sdif b/bare a/.hidden; do cp "$work/in put.sdif" "$work/$name"; done
set -- "$work/a/take.sdif" "$work/b/voice.sdf" "$work/a/two.dots.sdif" "$work/b/bare" "$work/a/.hidden"
"$render" -o "$work/out1/" "$@" && "$render" -o "$work/out2" "$@" && (cd "$work/here" && "$render" "$1") ||
  fail "batch run"
expected=".hidden.png bare.png take.png two.dots.png voice.png"
for folder in out1 out2; do
  [ "$(cd "$work/$folder" && ls -A | sort | tr '\n' ' ')" = "$expected " ] || fail "names in $folder: $(ls -A "$work/$folder")"
done
[ "$(ls -A "$work/here")" = "take.png" ] || fail "default output: $(ls -A "$work/here")"
"$render" -o "$work/clash/" "$1" "$work/b/take.sdif" 2>/dev/null
[ $? -eq 2 ] && [ -z "$(ls -A "$work/clash")" ] || fail "two inputs named alike were not refused"

# Ranges reaching outside a stream's give the picture of the stream's, with a warning for each.
"$render" --time -5:99 --vertical 0:99999 -o "$work/limited.png" "$work/in put.sdif" 2>"$work/warnings"
cmp -s "$work/picture.png" "$work/limited.png" && [ "$(wc -l <"$work/warnings")" -eq 6 ] ||
  fail "limited to the whole: $(cat "$work/warnings")"
"$render" --view residual --vertical 64:128 -o "$work/upper.png" "$work/in put.sdif" &&
  "$render" --view residual --vertical 64:1000 -o "$work/upper-limited.png" "$work/in put.sdif" 2>/dev/null &&
  cmp -s "$work/upper.png" "$work/upper-limited.png" || fail "residual bins limited to the first spectrum's 128"

# A thumbnail fits its square in the proportions of the picture at the viewer's sizes: n panels of
# 430 x 110 with 2 rows between neighbours.
for case in "256 all 256 199" "1000 all 1000 777" "256 sinusoids 256 65" "16 pitch 16 4"; do
  set -- $case
  "$render" --thumbnail "$1" --view "$2" "$work/in put.sdif" "$work/thumb.png" || fail "thumbnail $case"
  check_png "$work/thumb.png" "$3 $4"
done

# As a file manager does: the entry's Exec line with %s, %i and %o replaced by quoted values, split
# into words by the shell's rules, the program found on PATH.
exec_line=$(sed -n 's/^Exec=//p' "$source/data/sdif-render.thumbnailer")
quote() { printf "'%s'" "$(printf '%s' "$1" | sed "s/'/'\\\\''/g")"; }
command=$(printf '%s' "$exec_line" | sed -e "s|%s|128|" -e "s|%i|$(quote "$work/in put.sdif")|" \
  -e "s|%o|$(quote "$work/thumb nail.png")|")
(eval "set -- $command" && PATH="$(dirname "$render"):$PATH" env -u DISPLAY "$@") || fail "thumbnailer: $command"
check_png "$work/thumb nail.png" "128 99"
grep -qx 'MimeType=application/x-sdif;' "$source/data/sdif-render.thumbnailer" || fail "thumbnailer MIME type"

"$render" --help | grep -q '^Usage: sdif-render' || fail "--help"
[ "$("$render" --version)" = "sdif-render $(sed -n 's/^project(sdif_viewer VERSION \([0-9.]*\).*/\1/p' \
  "$source/CMakeLists.txt")" ] || fail "--version"
"$render" --size 0x1 x.sdif 2>"$work/usage" >/dev/null
[ $? -eq 2 ] && [ "$(wc -l <"$work/usage")" -eq 2 ] || fail "usage error: $(cat "$work/usage")"
[ ! -e x.png ] || fail "a usage error wrote a picture"

mandoc -Tlint -Wwarning "$source/data/sdif-render.1" || fail "man page"

[ "$failures" -eq 0 ] && echo "all passed"
exit "$failures"
