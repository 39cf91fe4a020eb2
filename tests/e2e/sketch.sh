#!/usr/bin/env bash
# The sketch page in the real editor, driven through X input only: the pen button turns the picture
# into a black-and-white drawing; clicks on the picture then change nothing and add no undo step, so
# one Ctrl+Z brings the photograph back. With PULLFACE_SHOTS naming a folder, the editor showing the
# drawing is kept there.
set -euo pipefail
pullface=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.bash"

e2e_setup_editor "$pullface"
s0=$E2E_DIR/original.png
e2e_screenshot "$s0"
e2e_expect_sample_shown "$s0"
pic=("$PIC_X" "$PIC_Y" "$PIC_W" "$PIC_H")
tools=("$TOOLS_X" "$TOOLS_Y" "$TOOLS_W" "$TOOLS_H")

# The sketch page; its pen button ("钢笔描画") lies at (192, 30) on the page, whose top-left corner is
# about (2, 24) in the panel: the button's middle is about (206, 66).
e2e_tools_tab 2
e2e_wait_shot_changed "$s0" "$E2E_DIR/page.png" "${tools[@]}"
xdotool mousemove $((TOOLS_X + 206)) $((TOOLS_Y + 66)) click 1

# The drawing: the picture area holds black and white only (allowing a few pixels of anything else),
# with enough of both to be a drawing rather than a blank.
drawing_shown() {
  e2e_screenshot "$E2E_DIR/pen.png"
  read -r black white other <<<"$(e2e_py bw "$E2E_DIR/pen.png" "${pic[@]}" 8)"
  ((other * 1000 <= (black + white + other) * 5))
}
e2e_wait_until "the picture is a black-and-white drawing" 60 drawing_shown
e2e_shot_settled "$E2E_DIR/pen.png" "${pic[@]}"
read -r black white other <<<"$(e2e_py bw "$E2E_DIR/pen.png" "${pic[@]}" 8)"
echo "pen drawing: $black black, $white white, $other other pixels"
total=$((black + white + other))
((other * 1000 <= total * 5)) || e2e_fail "the drawing changed back: $other of $total pixels are neither black nor white"
((black * 100 >= total && white * 100 >= total * 20)) || e2e_fail "not a drawing: $black black and $white white of $total pixels"
e2e_keep_shot sketch-pen "$E2E_DIR/pen.png"

# A click and a short hold on the picture do nothing on this page, not even a history step: the next
# Ctrl+Z undoes the pen drawing.
xdotool mousemove $((PIC_X + 300)) $((PIC_Y + 200)) click 1 mousedown 1
sleep 1.2
xdotool mouseup 1
e2e_leave_picture
e2e_keys ctrl+z
e2e_wait_shot_equal "$s0" "$E2E_DIR/undo.png" "${pic[@]}"
echo "1 passed, 0 failed"
