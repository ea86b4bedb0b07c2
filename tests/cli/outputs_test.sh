#!/bin/bash
# The companion programs' outputs, run by CTest: sdif-render's -o replaces a new or existing regular
# file through a temporary file that never stays behind, keeping an existing file's mode and owner; a
# symbolic link keeps pointing at its replaced target; a FIFO, a device node and standard output are
# written directly; a name of 255 bytes works. In every program, output lost on a full disk is an
# error, and a reader gone from a pipe is not.
# Usage: outputs_test.sh RENDER INFO VIEWER EXAMPLE
set -u
render=$1 info=$2 viewer=$3 example=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Usage: has FILE "TYPE-AND-PERMISSIONS OWNER", as ls writes them.
has() { [ "$(stat -c '%A %U' "$1")" = "$2" ] || fail "$1 is $(stat -c '%A %U' "$1"), want $2"; }

me=$(id -un) owner=$(id -un)
umask 027
long=$(printf 'n%.0s' $(seq 251)).png
echo old > kept.png && chmod 604 kept.png
echo old > linked.png && ln -s linked.png link.png && ln -s missing.png dangling.png
mkfifo fifo
timeout 20 cat fifo > from-fifo &  # no reader would come for a FIFO replaced by a file
names="new.png kept.png link.png dangling.png fifo $long"
# The device node lies in this folder, so that a fault replaces none of the system's.
[ "$me" = root ] && owner=nobody && chown nobody kept.png && mknod null c 1 3 && names="$names null"
for name in $names; do "$render" -o "$name" "$example" || fail "-o $name"; done
wait
for name in kept.png linked.png missing.png from-fifo "$long"; do cmp -s new.png "$name" || fail "$name"; done
has new.png "-rw-r----- $me" && has kept.png "-rw----r-- $owner" && has fifo "prw-r----- $me"
has linked.png "-rw-r----- $me" && has link.png "lrwxrwxrwx $me"
has missing.png "-rw-r----- $me" && has dangling.png "lrwxrwxrwx $me"
[ "$me" != root ] || has null "crw-r----- root"
[ -z "$(ls -A | grep '^\.')" ] || fail "temporary files left: $(ls -A)"

# Standard output as "-", or by a name such as /dev/stdout (a link of this folder, for the same
# reason) at the offset the shell opened it with.
echo before > out.png && ln -s /proc/self/fd/1 stdout
"$render" -o stdout "$example" >> out.png && "$render" -o - "$example" > dash.png || fail "to standard output"
[ "$(head -n 1 out.png)" = before ] && tail -c +8 out.png | cmp -s - new.png && cmp -s dash.png new.png ||
  fail "standard output's PNG"

for run in "$info $example" "$render --version" "$render -o - $example" "$viewer --version"; do
  $run > /dev/full 2> errors
  status=$?
  [ "$status" -eq 1 ] && [ -s errors ] || fail "$run >/dev/full: exit status $status, $(cat errors)"
done
# Whether SIGPIPE ends the program or it ignores SIGPIPE.
for run in "$info --frames $example" "$render -o - $example" "trap '' PIPE && exec $info --frames $example"; do
  (eval "$run") 2> errors | head -c 1 > /dev/null
  [ -s errors ] && fail "$run | head: $(cat errors)"
done
[ "$failures" -eq 0 ] && echo "all passed"
exit "$failures"
