#!/usr/bin/env bash
# Warps in the real editor, driven through X input only: a click bulges the picture in a disc around
# the pointer and nowhere else; a held button repeats the warp while it is held and the whole press is
# one undo step; Ctrl+Z and Ctrl+Y bring back the screen before and after; on the spiral page a click
# twists a larger disc. With PULLFACE_SHOTS naming a folder, the editor before and after a few warps is
# kept there.
set -euo pipefail
pullface=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.bash"

e2e_setup_editor "$pullface"
s0=$E2E_DIR/original.png
e2e_screenshot "$s0"
e2e_expect_sample_shown "$s0"
e2e_keep_shot editor-start "$s0"
pic=("$PIC_X" "$PIC_Y" "$PIC_W" "$PIC_H")
# Where the barrier shows the brush outline: the picture's lower right, away from every warp below.
BARRIER_X=$((PIC_X + 520)); BARRIER_Y=$((PIC_Y + 390)); BARRIER_R=50

# expect_disc BEFORE AFTER X Y RIN ROUT: compared with BEFORE, AFTER has changed at least 80 % of the
# picture's pixels within RIN of the screen point (X, Y) and none farther than ROUT from it. Sets SAD,
# the sum of the colour differences within RIN.
expect_disc() {
  local cin nin cout nout
  read -r cin nin cout nout SAD <<<"$(e2e_py disc "$1" "$2" "${pic[@]}" "$3" "$4" "$5" "$6")"
  ((cin * 100 >= nin * 80)) || e2e_fail "$(basename "$2"): only $cin of $nin pixels within $5 of the click changed"
  ((cout == 0)) || e2e_fail "$(basename "$2"): $cout pixels farther than $6 from the click changed"
  echo "$(basename "$2"): $cin of $nin pixels within $5 changed (colour differences $SAD), none beyond $6"
}

# One click on the upper dog's face: one spherical expand, radius 50.
cx=$((PIC_X + 250)); cy=$((PIC_Y + 150))
xdotool mousemove "$cx" "$cy" click 1
e2e_barrier
s1=$E2E_DIR/click.png
e2e_screenshot "$s1"
expect_disc "$s0" "$s1" "$cx" "$cy" 45 60
click_sad=$SAD

# The history: back to the original, forward to the warp, and back again for the next check.
e2e_keys ctrl+z
e2e_wait_shot_equal "$s0" "$E2E_DIR/undo.png" "${pic[@]}"
e2e_keys ctrl+y
e2e_wait_shot_equal "$s1" "$E2E_DIR/redo.png" "${pic[@]}"
e2e_keys ctrl+z
e2e_wait_shot_equal "$s0" "$E2E_DIR/undo2.png" "${pic[@]}"

# Holding the button at the same point: the warp repeats while the button is still down (seen on the
# screen before the release), and the result goes beyond the single click's.
xdotool mousemove "$cx" "$cy" mousedown 1
pressed=$(date +%s%N)
e2e_wait_until "a held button repeats the warp" 15 \
  e2e_shot_differs_now "$s0" $((cx - 25)) $((cy - 25)) 50 50
held_ms=$((($(date +%s%N) - pressed) / 1000000))
echo "the held warp repeated within $held_ms ms"
((held_ms < 2500)) && sleep "$(printf '0.%03d' $((2500 - held_ms)))"
xdotool mouseup 1
e2e_barrier
s2=$E2E_DIR/held.png
e2e_screenshot "$s2"
expect_disc "$s0" "$s2" "$cx" "$cy" 45 60
((SAD > click_sad)) || e2e_fail "holding changed the picture less than a click ($SAD <= $click_sad)"
read -r changed _ _ _ _ <<<"$(e2e_py disc "$s1" "$s2" "${pic[@]}" "$cx" "$cy" 45 60)"
((changed > 1000)) || e2e_fail "holding gave nearly the single click's picture ($changed pixels differ)"
echo "held and clicked pictures differ in $changed pixels"
# However many repeats, the press is one step in the history.
e2e_keys ctrl+z
e2e_wait_shot_equal "$s0" "$E2E_DIR/undo3.png" "${pic[@]}"
e2e_keys ctrl+y
e2e_wait_shot_equal "$s2" "$E2E_DIR/redo3.png" "${pic[@]}"

# Bulging eyes, three clicks on each, for the pictures of the editor at work.
for p in "228 89" "287 87" "319 304" "374 304"; do
  read -r x y <<<"$p"
  xdotool mousemove $((PIC_X + x)) $((PIC_Y + y)) click 1 click 1 click 1
done
e2e_barrier
s3=$E2E_DIR/warped.png
e2e_screenshot "$s3"
e2e_region_differs "$s2" "$s3" $((PIC_X + 270)) $((PIC_Y + 255)) 155 100 2000 || e2e_fail "the clicks on the eyes changed nothing"
e2e_keep_shot editor-warped "$s3"

# The spiral page: a click twists a disc of radius 100 (the barrier's outline has that radius too).
e2e_tools_tab 1
BARRIER_R=100; BARRIER_X=$((PIC_X + 490)); BARRIER_Y=$((PIC_Y + 360))
e2e_barrier
s4=$E2E_DIR/before-twist.png
e2e_screenshot "$s4"
tx=$((PIC_X + 150)); ty=$((PIC_Y + 330))
xdotool mousemove "$tx" "$ty" click 1
e2e_barrier
s5=$E2E_DIR/twist.png
e2e_screenshot "$s5"
expect_disc "$s4" "$s5" "$tx" "$ty" 90 110
e2e_keys ctrl+z
e2e_wait_shot_equal "$s4" "$E2E_DIR/undo4.png" "${pic[@]}"
echo "1 passed, 0 failed"
