#!/usr/bin/env bash
# Files in the real editor, driven through X input only: a picture named on the command line is shown
# at start; after a warp, Ctrl+S through the save dialog writes what the screen shows: typing a bare
# name with the dialog's first file type gives a JPEG file with ".jpg" added (equal to the screen
# within JPEG loss), and choosing the PNG type gives a file equal to the screen pixel for pixel.
set -euo pipefail
pullface=$1
shared=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.bash"
photo=$shared/photos/face-small.jpg
out=$E2E_DIR/saved
mkdir -p "$out"

# The photograph given on the command line, shown whole at 100 % (decoders may round a few levels
# differently, hence the small tolerance).
e2e_setup_editor "$pullface" "$photo"
s0=$E2E_DIR/opened.png
e2e_screenshot "$s0"
e2e_expect_shown "$s0" "$photo" 3
pic=("$PIC_X" "$PIC_Y" "$PIC_W" "$PIC_H")
echo "$(basename "$photo") shown at $PIC_X,$PIC_Y as ${PIC_W}x$PIC_H"
# The sample picture is gone.
e2e_locate "$s0" "$here/../../resources/sample.bmp" && e2e_fail "the sample picture is shown too"

# One bulge, so that what is saved is the edited picture.
cx=90; cy=110
BARRIER_X=$((PIC_X + 260)); BARRIER_Y=$((PIC_Y + 170))
xdotool mousemove $((PIC_X + cx)) $((PIC_Y + cy)) click 1
e2e_barrier
s1=$E2E_DIR/warped.png
e2e_screenshot "$s1"
e2e_region_differs "$s0" "$s1" $((PIC_X + cx - 30)) $((PIC_Y + cy - 30)) 60 60 1000 || e2e_fail "the click did not warp the picture"

# save NAME [TYPE-STEPS]: Ctrl+S, in the dialog TYPE-STEPS times down in the file-type list, then the
# full name typed into the file-name box and Return.
save() {
  e2e_keys ctrl+s
  local dialog
  dialog=$(e2e_window "Save As.*")
  e2e_geometry "$dialog" DLG
  xdotool windowfocus "$dialog" 2>/dev/null || true
  if ((${2:-0} > 0)); then
    # The file-type list at the dialog's foot: open it, step down, take the entry.
    xdotool mousemove $((DLG_X + 200)) $((DLG_Y + DLG_H - 24)) click 1
    sleep 0.5
    for _ in $(seq "$2"); do xdotool key Down; done
    xdotool key Return
    sleep 0.3
  fi
  # The file-name box, just above the type list.
  xdotool mousemove $((DLG_X + 200)) $((DLG_Y + DLG_H - 54)) click 1
  xdotool key ctrl+a
  xdotool type --delay 20 "$1"
  xdotool key Return
  e2e_wait_until "the save dialog closes" 30 bash -c "! xdotool search --name '^Save As' >/dev/null 2>&1"
  xdotool mousemove "$E2E_REST_X" "$E2E_REST_Y"
}

# JPEG, the first type: the name typed without extension is written with ".jpg".
save "$out/first"
e2e_wait_until "first.jpg is written" 30 test -s "$out/first.jpg"
[[ $(identify -format %m "$out/first.jpg") == JPEG ]] || e2e_fail "first.jpg is not a JPEG file"
[[ $(ls "$out") == first.jpg ]] || e2e_fail "the save wrote $(ls "$out" | tr '\n' ' ')"
read -r mean largest <<<"$(e2e_py match "$s1" "$out/first.jpg" "$PIC_X" "$PIC_Y")" || e2e_fail "first.jpg does not fit the picture"
echo "first.jpg: mean difference $mean, largest $largest from the screen"
# Within JPEG loss of the screen, and around the click nearer the warped screen than the unwarped one.
disc=($((cx - 35)) $((cy - 35)) 70 70)
read -r near _ <<<"$(e2e_py match "$s1" "$out/first.jpg" "$PIC_X" "$PIC_Y" "${disc[@]}")"
read -r far _ <<<"$(e2e_py match "$s0" "$out/first.jpg" "$PIC_X" "$PIC_Y" "${disc[@]}")"
echo "first.jpg around the click: mean difference $near from the warped screen, $far from the unwarped one"
python3 -c "import sys; sys.exit(not ($mean < 5 and $near * 2 < $far))" ||
  e2e_fail "first.jpg is not the picture on the screen"

# PNG, the fourth type: exactly the screen.
save "$out/second" 3
e2e_wait_until "second.png is written" 30 test -s "$out/second.png"
[[ $(identify -format %m "$out/second.png") == PNG ]] || e2e_fail "second.png is not a PNG file"
read -r mean largest <<<"$(e2e_py match "$s1" "$out/second.png" "$PIC_X" "$PIC_Y")" || e2e_fail "second.png does not fit the picture"
echo "second.png: mean difference $mean, largest $largest from the screen"
[[ $largest == 0 ]] || e2e_fail "second.png differs from the screen"
# Saving changed nothing on the screen.
e2e_screenshot "$E2E_DIR/after.png"
e2e_region_equal "$s1" "$E2E_DIR/after.png" "${pic[@]}" || e2e_fail "saving changed the picture on the screen"
echo "1 passed, 0 failed"
