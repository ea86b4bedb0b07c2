#!/bin/bash
# End-to-end test of the loading window: a small file opens without it; an endless pipe shows it, and
# Escape in it cancels the load, after which the viewer exits 0 without a dialog, having freed what
# it loaded (under the sanitizers a leak fails the exit status).
# Usage: loading_test.sh VIEWER; needs an X display and xdotool.
set -u
viewer=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
header='SDIF\0\0\0\010\0\0\0\003\0\0\0\001'
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# The titles of the shown windows of process $1, one a line.
titles() { for w in $(xdotool search --all --onlyvisible --pid "$1" --name . 2>/dev/null); do xdotool getwindowname "$w"; done; }

# A small file: 1000 empty "1TRC" frames.
printf "$header" > "$work/small.sdif"
for _ in $(seq 1000); do printf '1TRC\0\0\0\020\0\0\0\0\0\0\0\0\0\0\0\001\0\0\0\0'; done >> "$work/small.sdif"
"$viewer" "$work/small.sdif" &
pid=$!
seen=""
for _ in $(seq 100); do
  seen="$seen $(titles "$pid" | tr '\n' ' ')"
  case "$seen" in *SDIF*) sleep 1; seen="$seen $(titles "$pid" | tr '\n' ' ')"; break ;; esac
  sleep 0.1
done
kill "$pid"; wait "$pid"
case "$seen" in *SDIF*) ;; *) fail "small file: no main window" ;; esac
case "$seen" in *Loading*) fail "small file: a loading window" ;; esac

# An endless pipe: the header, then zero bytes (empty frames) at about 16 MB/s until the viewer stops reading.
{ printf "$header"; for _ in $(seq 100000); do head -c 16384 /dev/zero || break; sleep 0.001; done; } 2>/dev/null |
  "$viewer" /dev/stdin &
pid=$!
window=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$pid" --name '^Loading$' | head -n 1)
if [ -z "$window" ]; then
  fail "endless pipe: no loading window"
  kill "$pid"
fi
xdotool mousemove --window "$window" 20 20 key Escape
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  case "$(titles "$pid")" in *Ondavue*) fail "endless pipe: a dialog after Escape"; kill "$pid" ;; esac
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && { fail "endless pipe: still loading after Escape"; kill "$pid"; }
wait "$pid"
status=$?
[ "$status" = 0 ] || fail "endless pipe: exit status $status after Escape, want 0"
exit "$failures"
