#!/usr/bin/env bash
# `cmake --install` lays out the programs, a valid menu entry with the picture types and the icons.
set -euo pipefail
build=$1
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
cmake --install "$build" --prefix "$dest/usr" >/dev/null
fail() { echo "FAIL: $*" >&2; exit 1; }
for f in bin/pullface bin/pullface-cli share/applications/pullface.desktop share/icons/hicolor/scalable/apps/pullface.svg; do
  [[ -e $dest/usr/$f ]] || fail "$f not installed"
done
for size in 16 32 48 256; do
  png=$dest/usr/share/icons/hicolor/${size}x${size}/apps/pullface.png
  [[ -s $png ]] || fail "no ${size}px icon"
  [[ $(identify -format %wx%h "$png") == "${size}x${size}" ]] || fail "${size}px icon has the wrong size"
done
desktop=$dest/usr/share/applications/pullface.desktop
desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
for type in image/jpeg image/bmp image/gif image/vnd.microsoft.icon image/png image/wmf image/emf; do
  grep -q "^MimeType=.*$type;" "$desktop" || fail "$type missing from the desktop entry"
done
echo "1 passed, 0 failed"
