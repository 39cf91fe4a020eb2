#!/usr/bin/env bash
# The mouse wheel over the picture in the real editor, driven through X input only: one notch away
# from the user zooms out to 80 %, one towards the user zooms in by 1.25; the toolbar's zoom read-out
# changes with every step and the picture is shown at the new size.
set -euo pipefail
pullface=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.bash"
sample=$here/../../resources/sample.bmp

e2e_setup_editor "$pullface"
s0=$E2E_DIR/z100.png
e2e_screenshot "$s0"
e2e_expect_sample_shown "$s0"
pic=("$PIC_X" "$PIC_Y" "$PIC_W" "$PIC_H")
# The zoom read-out sits on the toolbar at (184, 6) of its panel: about (188, 29) in the main window.
label=($((MAIN_X + 182)) $((MAIN_Y + 24)) 48 20)   # up to the select button's glyph

# wheel BUTTON BEFORE AFTER: one wheel notch (xdotool button 4 away from the user, 5 towards) over the
# picture's top-left part, then the pointer off the picture; waits for the read-out to change.
wheel() {
  xdotool mousemove $((PIC_X + 150)) $((PIC_Y + 120)) click "$1"
  e2e_leave_picture
  e2e_wait_shot_changed "$2" "$3" "${label[@]}"
  e2e_shot_settled "$3" "${pic[@]}"
}

# expect_scaled SHOT W H: the picture is shown scaled to W x H from the same top-left corner; compared
# over its part that is surely on the screen, with room for the two scalers' different filters.
expect_scaled() {
  convert "$sample" -resize "${2}x${3}!" "$E2E_DIR/scaled.png"
  local w=$(($2 < 560 ? $2 : 560)) h=$(($3 < 420 ? $3 : 420)) mean largest unscaled
  read -r mean largest <<<"$(e2e_py match "$1" "$E2E_DIR/scaled.png" "$PIC_X" "$PIC_Y" 0 0 "$w" "$h")"
  read -r unscaled largest <<<"$(e2e_py match "$1" "$sample" "$PIC_X" "$PIC_Y" 0 0 "$w" "$h")"
  echo "$(basename "$1"): mean difference $mean from the picture scaled to ${2}x$3, $unscaled from it unscaled"
  python3 -c "import sys; sys.exit(not ($mean < 6 and $mean * 3 < $unscaled))" ||
    e2e_fail "$(basename "$1") does not show the picture at ${2}x$3"
}

# Away from the user: 80.0 %, the sample shown 484 x 375 (the rest of its old place is background).
wheel 4 "$s0" "$E2E_DIR/z80.png"
extent=$(e2e_py extent "$E2E_DIR/z80.png" "${pic[@]}")
[[ $extent == "$PIC_X $PIC_Y 484 375" ]] || e2e_fail "at 80 % the picture covers $extent, not $PIC_X $PIC_Y 484 375"
expect_scaled "$E2E_DIR/z80.png" 484 375

# Towards the user: back at 100 % (the read-out now says 100.0%), the sample shown pixel for pixel.
wheel 5 "$E2E_DIR/z80.png" "$E2E_DIR/z100b.png"
e2e_expect_sample_shown "$E2E_DIR/z100b.png"
[[ "$PIC_X $PIC_Y" == "${pic[0]} ${pic[1]}" ]] || e2e_fail "at 100 % again the picture moved to $PIC_X $PIC_Y"

# Towards the user again: 125.0 %, the sample shown 756 x 586 (scrolled into the window's view).
wheel 5 "$E2E_DIR/z100b.png" "$E2E_DIR/z125.png"
expect_scaled "$E2E_DIR/z125.png" 756 586

# Every read-out differs from the others ("100%", "80.0%", "100.0%", "125.0%").
shots=(z100 z80 z100b z125)
for a in 0 1 2 3; do
  for b in 0 1 2 3; do
    ((a < b)) || continue
    e2e_region_differs "$E2E_DIR/${shots[a]}.png" "$E2E_DIR/${shots[b]}.png" "${label[@]}" 10 ||
      e2e_fail "the zoom read-outs of ${shots[a]} and ${shots[b]} look the same"
  done
done
# And each is shown whole: "100.0%" is one character wider than "80.0%", and as wide as "125.0%"
# (a read-out kept at the width of its first text "100%" cuts them all short).
ink_width() { local x y w h; read -r x y w h <<<"$(e2e_py ink "$E2E_DIR/$1.png" "${label[@]}" 128)"; echo "$w"; }
w80=$(ink_width z80) w100=$(ink_width z100b) w125=$(ink_width z125)
echo "zoom read-out widths: 80.0% $w80, 100.0% $w100, 125.0% $w125 pixels"
((w100 >= w80 + 4 && w125 == w100)) || e2e_fail "a zoom read-out is cut short (widths $w80, $w100, $w125)"
echo "1 passed, 0 failed"
