#!/bin/bash
# End-to-end test of the loading window: a small file opens without it. A FIFO whose writer sends
# frames without end, one that sends nothing, one that stalls inside a frame, and one that sends a
# single 320 MB frame slowly each get the window after half a second, and Escape in it cancels the
# load, after which the viewer exits 0 without a dialog or its main window, having freed what it
# loaded (under the sanitizers a leak fails the exit status).
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

# The writers, each writing to standard output until the viewer stops reading or it is killed:
# zero bytes (empty frames) at about 16 MB/s; nothing; the header and half a frame header; one frame
# of one matrix of 80 000 000 floats at about 20 MB/s.
endless() { printf "$header"; for _ in $(seq 100000); do head -c 16384 /dev/zero || break; sleep 0.001; done; }
silent() { exec sleep 60; }
stalled() { printf "$header"'1TRC\0\0\0\020'; exec sleep 60; }
big_frame() {
  printf "$header"'1TRC\0\0\0\020\0\0\0\0\0\0\0\0\0\0\0\001\0\0\0\001''1TRC\0\0\0\004\004\304\264\000\0\0\0\001'
  for _ in $(seq 320); do head -c 1000000 /dev/zero || break; sleep 0.05; done
}

for writer in endless silent stalled big_frame; do
  rm -f "$work/fifo"
  mkfifo "$work/fifo"
  "$writer" > "$work/fifo" 2>/dev/null &
  writer_pid=$!
  "$viewer" "$work/fifo" &
  pid=$!
  # Half a second after the start, whatever the writer does.
  window=$(timeout 8 xdotool search --sync --all --onlyvisible --pid "$pid" --name '^Loading$' | head -n 1)
  [ -n "$window" ] || fail "$writer: no loading window"
  [ -n "$window" ] && xdotool mousemove --window "$window" 20 20 key Escape
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    case "$(titles "$pid")" in *Ondavue* | *SDIF*) fail "$writer: another window after Escape"; kill "$pid" ;; esac
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && { fail "$writer: still loading after Escape"; kill "$pid"; }
  wait "$pid"
  status=$?
  [ "$status" = 0 ] || fail "$writer: exit status $status after Escape, want 0"
  kill "$writer_pid" 2>/dev/null
  wait "$writer_pid" 2>/dev/null
done
exit "$failures"
