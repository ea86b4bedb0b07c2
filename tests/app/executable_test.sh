#!/bin/sh
# End-to-end test of the sdif-viewer executable on the X display: the one window each file makes it
# show and that window's size, the exit status once it is closed as a user would (Escape), and that
# the file is only read and left untouched. With "checked", every run goes under a memory checker:
# the sanitizers built into the viewer, or valgrind, which ends with status 99 on any error or leak.
# Usage: executable_test.sh VIEWER EXAMPLE_FILE [checked SANITIZED VALGRIND_SUPPRESSIONS]
set -u
viewer=$1 example=$2 mode=${3:-plain} sanitized=${4:-0} suppressions=${5:-}
dir=$(mktemp -d /tmp/sdif-executable-XXXXXX)
trap 'rm -rf "$dir"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

checker=""
[ "$mode" = checked ] && [ "$sanitized" = 0 ] &&
  checker="valgrind --quiet --leak-check=full --show-leak-kinds=definite,indirect
           --errors-for-leak-kinds=definite,indirect --error-exitcode=99 --suppressions=$suppressions"
# A checker such as valgrind runs the viewer many times slower.
seconds=20
[ -n "$checker" ] && seconds=120

# A file cut inside its last frame loads without that frame, so the example's first 5000 bytes (frames
# of all three streams, the last one cut) make a small valid file, and its first 16 a file of a header
# alone, which holds no stream to show.
printf 'RIFF\0\0\0\0WAVEfmt ' >"$dir/sound.wav"
head -c 10 "$example" >"$dir/cut-header.sdif"
head -c 16 "$example" >"$dir/header-only.sdif"
head -c 5000 "$example" >"$dir/cut-frame.sdif"
cp "$example" "$dir/example.sdif"
touch -d @1000000000 "$dir/example.sdif"

# Usage: run FILE TITLE SIZE STATUS
run() {
  $checker "$viewer" "$1" 2>"$dir/stderr" &
  pid=$!
  # Polled more often than xdotool's own --sync does, which would double the time of the whole test.
  window="" polls=0
  while [ -z "$window" ] && [ $polls -lt $((seconds * 20)) ]; do
    sleep 0.05
    polls=$((polls + 1))
    window=$(xdotool search --onlyvisible --pid $pid --name "^$2\$" 2>/dev/null | head -n 1)
  done
  if [ -z "$window" ]; then
    fail "$1: no window \"$2\""
  else
    size=$(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')
    [ "$size" = "$3" ] || fail "$1: window \"$2\" is $size, not $3"
    shown=$(xdotool search --onlyvisible --pid $pid --name . 2>/dev/null | wc -l)
    [ "$shown" = 1 ] || fail "$1: $shown windows shown"
    # Open for reading only: the access mode is the low two bits of the flags, in octal.
    held=0
    for fd in /proc/$pid/fd/*; do
      [ "$(readlink "$fd")" = "$1" ] || continue
      held=$((held + 1))
      grep -Eq '^flags:\s*[0-7]*[04]$' "/proc/$pid/fdinfo/${fd##*/}" ||
        fail "$1: held open with $(grep flags "/proc/$pid/fdinfo/${fd##*/}")"
    done
    [ "$4" != 0 ] || [ "$held" -gt 0 ] || fail "$1: not held open while its window is up"
    xdotool key --window "$window" Escape 2>/dev/null
  fi
  # Killed if it has not exited in time (it stays a zombie, so its number is not reused, until waited for).
  waited=0
  while [ "$(cut -d ' ' -f 3 /proc/$pid/stat 2>/dev/null || echo Z)" != Z ] && [ $waited -lt $((seconds * 20)) ]; do
    sleep 0.05
    waited=$((waited + 1))
  done
  kill -9 $pid 2>/dev/null
  wait $pid
  status=$?
  [ "$status" = "$4" ] || { fail "$1: exit status $status, not $4"; cat "$dir/stderr" >&2; }
}

run "$dir/missing.sdif" "Ondavue Error" 300x80 1
run "$dir/sound.wav" "Ondavue Error" 300x80 1
run "$dir/cut-header.sdif" "Ondavue Error" 300x80 1
run "$dir/header-only.sdif" "Ondavue Error" 400x80 1
run "$dir/cut-frame.sdif" SDIF 450x450 0
[ "$mode" = checked ] || run "$dir/example.sdif" SDIF 450x450 0
cmp -s "$example" "$dir/example.sdif" || fail "the file changed"
[ "$(stat -c %Y "$dir/example.sdif")" = 1000000000 ] || fail "the file's time changed"
[ "$failures" = 0 ]
