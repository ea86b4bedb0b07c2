#!/bin/sh
# Installs the build into a temporary prefix and checks what came out the way a desktop and a
# terminal user meet it, generically over every installed program, man page and desktop entry.
# Run by CTest under a display. Usage: install_test.sh BUILD_DIR EXAMPLE.sdif VERSION
set -eu
build=$1 example=$2 version=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# --prefix and DESTDIR: the same files, and nothing outside the prefix.
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
DESTDIR=$tmp/dest cmake --install "$build" --prefix /opt/sdif >/dev/null
(cd "$prefix" && find . | sort) >"$tmp/prefix.list"
(cd "$tmp/dest/opt/sdif" && find . | sort) >"$tmp/dest.list"
cmp -s "$tmp/prefix.list" "$tmp/dest.list" || fail "DESTDIR install differs from the --prefix install"
[ "$(ls "$tmp/dest")" = opt ] || fail "DESTDIR install wrote outside its prefix: $(ls "$tmp/dest")"
for path in bin/sdif-viewer share/applications/sdif-viewer.desktop share/mime/packages/sdif-viewer.xml \
    share/icons/hicolor/scalable/apps/sdif-viewer.svg share/icons/hicolor/48x48/apps/sdif-viewer.png \
    share/man/man1/sdif-viewer.1 share/doc/sdif-viewer/README.md; do
  [ -f "$prefix/$path" ] || fail "not installed: $path"
done

# Every desktop entry validates and has an installed icon; it and every thumbnailer start an installed
# program, for file types the installed shared-mime-info XML defines.
for entry in "$prefix"/share/applications/*.desktop; do
  desktop-file-validate "$entry" || fail "desktop-file-validate: $entry"
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "$entry: no installed icon $icon"
done
for entry in "$prefix"/share/applications/*.desktop "$prefix"/share/thumbnailers/*.thumbnailer; do
  [ -f "$entry" ] || continue
  program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  [ -x "$prefix/bin/$program" ] || fail "$entry: Exec names $program, which is not installed"
  for type in $(sed -n 's/^MimeType=//p' "$entry" | tr ';' ' '); do
    grep -qs "<mime-type type=\"$type\"" "$prefix"/share/mime/packages/*.xml || fail "$entry: no installed type $type"
  done
done

# Every program answers --help and --version on standard output, without a display, and has a man page.
for program in "$prefix"/bin/*; do
  name=$(basename "$program")
  for option in --help --version; do
    env -u DISPLAY "$program" $option >"$tmp/out" 2>"$tmp/err" || fail "$name $option exits with status $?"
    [ -s "$tmp/out" ] || fail "$name $option prints nothing on standard output"
    [ ! -s "$tmp/err" ] || fail "$name $option writes to standard error: $(cat "$tmp/err")"
  done
  grep -qF "$version" "$tmp/out" || fail "$name --version does not name version $version"
  [ -f "$prefix/share/man/man1/$name.1" ] || fail "$name has no man page"
done

# The viewer takes only an exact first argument for an option (getopt_long would take "--vers" for
# --version). These all name files, which it goes on to open and, without a display, cannot even
# report: nothing is answered on standard output.
for args in ./--help --vers -h "a.sdif --version"; do
  answer=$(env -u DISPLAY "$prefix/bin/sdif-viewer" $args 2>/dev/null) || true
  [ -z "$answer" ] || fail "sdif-viewer $args is answered as an option: $answer"
done

# Every man page is free of mandoc warnings and errors and renders through man without complaint.
for page in "$prefix"/share/man/man*/*; do
  mandoc -Tlint -W warning "$page" || fail "mandoc -Tlint: $page"
  complaints=$(MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$complaints" ] || fail "man -l $page: $complaints"
  MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q '^NAME' || fail "man -l $page renders no NAME section"
done

# The file type is recognised by name and, under another name, by its first bytes; other bytes are not.
XDG_DATA_DIRS="$prefix/share:/usr/share" update-mime-database "$prefix/share/mime"
cp "$example" "$tmp/renamed.dat"
printf 'not SDIF\n' >"$tmp/text.dat"
filetype() {
  env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION XDG_DATA_HOME="$tmp/home" XDG_DATA_DIRS="$prefix/share:/usr/share" \
    xdg-mime query filetype "$1"
}
for file in "$example" "$tmp/renamed.dat"; do
  type=$(filetype "$file")
  [ "$type" = application/x-sdif ] || fail "xdg-mime names $file $type"
done
[ "$(filetype "$tmp/text.dat")" != application/x-sdif ] || fail "a text file is taken for SDIF"

# The installed viewer opens its window on the example. xdotool joins conditions with "or" unless
# told --all, and an error dialog is a window of the same process.
"$prefix/bin/sdif-viewer" "$example" &
viewer=$!
timeout 60 xdotool search --sync --all --onlyvisible --pid "$viewer" --name '^SDIF$' >/dev/null ||
  fail "the installed viewer shows no window"
kill "$viewer" 2>/dev/null || true
wait "$viewer" 2>/dev/null || true

[ "$failures" -eq 0 ]
