# Helpers for the end-to-end tests: a private X server, the editor, screenshots. Everything
# started here is stopped when the test script exits.
E2E_DIR=$(mktemp -d /tmp/pullface-e2e.XXXXXX)
E2E_PIDS=()

e2e_cleanup() {
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$E2E_DIR"
}
trap e2e_cleanup EXIT

e2e_fail() { echo "FAIL: $*" >&2; [[ -f $E2E_DIR/editor.log ]] && tail -20 "$E2E_DIR/editor.log" >&2; exit 1; }

e2e_start_x() {
  local n
  for n in $(seq 90 140); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1280x900x24 -nolisten tcp >"$E2E_DIR/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
    e2e_fail "Xvfb did not start"
  done
  e2e_fail "no free display number"
}

e2e_start_editor() {
  export XDG_RUNTIME_DIR=$E2E_DIR/runtime; mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
  "$@" >"$E2E_DIR/editor.log" 2>&1 &
  E2E_PIDS+=($!)
  for _ in $(seq 100); do
    xdotool search --name "^Pullface v5.95\$" >/dev/null 2>&1 && { sleep 1; return 0; }
    sleep 0.2
  done
  e2e_fail "the editor's windows did not appear"
}

e2e_screenshot() { import -window root "$1" 2>/dev/null || e2e_fail "screenshot failed"; }

# Finds where the sample picture is shown on screen and checks that a 100 x 100 block of it
# matches the picture (a small tolerance for the display's colour handling).
e2e_expect_sample_shown() {
  local shot=$1 sample=$here/../../resources/sample.bmp
  python3 - "$shot" "$sample" <<'PY' || e2e_fail "the sample picture is not shown"
import subprocess, sys
shot, sample = sys.argv[1], sys.argv[2]
def rgb(path, crop=None):
    args = ["convert", path] + (["-crop", crop, "+repage"] if crop else []) + ["-depth", "8", "rgb:-"]
    return subprocess.run(args, capture_output=True, check=True).stdout
ref = rgb(sample, "60x40+200+200")   # a patch of the picture with detail
full = rgb(shot)
w, h = map(int, subprocess.run(["identify", "-format", "%w %h", shot], capture_output=True, text=True).stdout.split())
# Look for the patch's first row on screen, then compare the whole patch there.
row0 = ref[:60*3]
for y in range(h - 40):
    line = full[y*w*3:(y+1)*w*3]
    x = line.find(row0)
    while x != -1:
        if x % 3 == 0:
            X = x // 3
            if all(full[(y+j)*w*3+X*3:(y+j)*w*3+X*3+180] == ref[j*180:(j+1)*180] for j in range(40)):
                print("sample patch found at", X, y); sys.exit(0)
        x = line.find(row0, x + 1)
sys.exit(1)
PY
}
