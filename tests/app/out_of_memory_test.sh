#!/bin/bash
# End-to-end test of running out of memory at start-up: the viewer, under address-space limits that
# stop it in different places, must show the "Error reading file" dialog (300 x 80) and exit 1, never
# abort. The file is 100 MiB of empty "1TRC" frames, whose records take about 270 MiB once loaded.
# With the libraries' own ~70 MiB, 140 MiB stops the load itself (a result code), while 300 and
# 340 MiB let it finish and stop the building of the Sinusoids panel and its view (an exception).
# Usage: out_of_memory_test.sh VIEWER; needs an X display and xdotool.
set -u
viewer=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# File header, then one 24-byte frame doubled 22 times.
printf 'SDIF\0\0\0\010\0\0\0\003\0\0\0\001' > "$work/file.sdif"
printf '1TRC\0\0\0\020\0\0\0\0\0\0\0\0\0\0\0\001\0\0\0\0' > "$work/frames"
for _ in $(seq 22); do cat "$work/frames" "$work/frames" > "$work/more" && mv "$work/more" "$work/frames"; done
cat "$work/frames" >> "$work/file.sdif"

failures=0
for mib in 140 300 340; do
  prlimit --as=$((mib * 1024 * 1024)) "$viewer" "$work/file.sdif" 2>/dev/null &
  pid=$!
  size=""
  for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    window=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Ondavue Error$' 2>/dev/null | head -n 1)
    if [ -n "$window" ]; then
      size=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
      # The OK button's middle; a real click, since there is no window manager to close the dialog.
      xdotool mousemove --window "$window" 257 62 click 1
    elif xdotool search --all --onlyvisible --pid "$pid" --name '^SDIF$' >/dev/null 2>&1; then
      echo "FAIL at $mib MiB: the main window opened, so the limit did not bite"
      kill "$pid"
    fi
    sleep 0.1
  done
  kill "$pid" 2>/dev/null
  wait "$pid"
  status=$?
  if [ "$size" != "300x80" ] || [ "$status" != 1 ]; then
    echo "FAIL at $mib MiB: dialog '${size:-none}', exit status $status (want 300x80 and 1)"
    failures=$((failures + 1))
  else
    echo "ok at $mib MiB"
  fi
done
exit "$failures"
