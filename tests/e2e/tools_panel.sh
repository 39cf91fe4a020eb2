#!/usr/bin/env bash
# The tools panel on a real X server: each of its three pages is drawn, and they differ.
# With PULLFACE_SHOTS set to a folder, the page screenshots are kept there.
set -euo pipefail
pullface=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.bash"

e2e_start_x
e2e_start_editor "$pullface"
win=$(xdotool search --name "^工具\$" | head -1)
[[ -n $win ]] || e2e_fail "no tools panel"
eval "$(xdotool getwindowgeometry --shell "$win")"   # X Y WIDTH HEIGHT

i=0
for tabx in 23 69 115; do
  xdotool mousemove $((X + tabx)) $((Y + 12)) click 1
  sleep 0.7
  e2e_screenshot "$E2E_DIR/full$i.png"
  convert "$E2E_DIR/full$i.png" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$E2E_DIR/page$i.png"
  # A drawn page has text and controls: many distinct colours, not an empty rectangle.
  colours=$(convert "$E2E_DIR/page$i.png" -format %k info:)
  ((colours > 20)) || e2e_fail "page $i looks empty ($colours colours)"
  [[ -n ${PULLFACE_SHOTS:-} ]] && cp "$E2E_DIR/page$i.png" "$PULLFACE_SHOTS/tools-page$i.png"
  i=$((i + 1))
done
for a in 0 1 2; do
  for b in 0 1 2; do
    ((a < b)) || continue
    diff=$(compare -metric AE "$E2E_DIR/page$a.png" "$E2E_DIR/page$b.png" null: 2>&1 || true)
    ((${diff%%.*} > 200)) || e2e_fail "pages $a and $b look the same"
  done
done
echo "1 passed, 0 failed"
