#!/bin/sh
# Installs into a temporary DESTDIR under an unusual prefix and checks what a desktop reads
# there: the menu entry, the AppStream metadata, every icon size and the manual page.
set -eu
build=$1
cmake=${2:-cmake}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
prefix=/opt/gridvane-check
# One component, so the build's install_manifest.txt of a real install stays.
DESTDIR=$stage "$cmake" --install "$build" --prefix $prefix --component Unspecified >/dev/null
root=$stage$prefix
test -x "$root/bin/gridvane"
desktop-file-validate "$root/share/applications/gridvane.desktop"
grep -qx "Exec=$prefix/bin/gridvane" "$root/share/applications/gridvane.desktop"
appstreamcli validate --no-net "$root"/share/metainfo/*.metainfo.xml
for size in 16 32 48 64 128 256; do
  # A PNG's width and height are the 4-byte numbers at offsets 16 and 20.
  [ "$(od -An -tx1 -j16 -N8 "$root/share/icons/hicolor/${size}x$size/apps/gridvane.png" | tr -d ' ')" \
    = "$(printf '%08x%08x' "$size" "$size")" ] || { echo "no ${size}x$size icon" >&2; exit 1; }
done
grep -q '<svg' "$root/share/icons/hicolor/scalable/apps/gridvane.svg"
warnings=$(MANWIDTH=80 man --warnings -l "$root/share/man/man1/gridvane.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "$warnings" >&2; exit 1; }
MANWIDTH=80 man -l "$root/share/man/man1/gridvane.1.gz" | grep -q 'Settings.ini'
echo "installed files check out"
