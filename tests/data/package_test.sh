#!/bin/sh
# Builds the Debian package from the build's install rules and checks its name, that its
# dependencies were computed from the binaries, and lintian's verdict (no error, no warning).
# Usage: package_test.sh BUILD_DIR VERSION
set -eu
build=$1 version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" || { cat "$tmp/cpack.log"; exit 1; }
package=$tmp/sdif-viewer_${version}_$(dpkg --print-architecture).deb
[ -f "$package" ] || { echo "FAIL: no $package among: $(ls "$tmp")" >&2; exit 1; }
depends=$(dpkg-deb -f "$package" Depends)
echo "$depends" | grep -q 'libc6 (>= ' || { echo "FAIL: Depends not computed from the binaries: '$depends'" >&2; exit 1; }
lintian --fail-on error,warning "$package"
