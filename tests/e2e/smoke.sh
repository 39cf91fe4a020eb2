#!/usr/bin/env bash
# The real editor under a real X server: its windows appear and the work area shows the sample.
set -euo pipefail
pullface=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.bash"

e2e_start_x
e2e_start_editor "$pullface"

for title in "Pullface v5.95" "工具"; do
  xdotool search --name "^$title\$" >/dev/null || e2e_fail "no window titled $title"
done

shot=$E2E_DIR/screen.png
e2e_screenshot "$shot"
# The sample's top-left area as shown in the work area must match the picture's own pixels.
e2e_expect_sample_shown "$shot"
echo "1 passed, 0 failed"
