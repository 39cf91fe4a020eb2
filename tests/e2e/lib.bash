# Helpers for the end-to-end tests: a private X server, the editor, screenshots and their
# comparison by region, the pointer and the keyboard. Everything started here is stopped when the
# test script exits.
E2E_DIR=$(mktemp -d /tmp/pullface-e2e.XXXXXX)
E2E_PIDS=()
E2E_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

e2e_cleanup() {
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$E2E_DIR"
}
trap e2e_cleanup EXIT

e2e_fail() {
  echo "FAIL: $*" >&2
  [[ -f $E2E_DIR/editor.log ]] && tail -20 "$E2E_DIR/editor.log" >&2
  if [[ -n ${PULLFACE_E2E_KEEP:-} ]]; then   # a folder to keep the screenshots of a failed run in
    mkdir -p "$PULLFACE_E2E_KEEP" && cp "$E2E_DIR"/*.png "$PULLFACE_E2E_KEEP"/ 2>/dev/null || true
  fi
  exit 1
}

# The X server picks a free display itself (-displayfd), so tests run side by side never share one.
e2e_start_x() {
  Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$E2E_DIR/display" >"$E2E_DIR/xvfb.log" 2>&1 &
  E2E_PIDS+=($!)
  local xvfb=$! n=""
  for _ in $(seq 100); do
    n=$(cat "$E2E_DIR/display" 2>/dev/null) && [[ -n $n ]] && break
    kill -0 "$xvfb" 2>/dev/null || e2e_fail "Xvfb did not start: $(cat "$E2E_DIR/xvfb.log")"
    sleep 0.1
  done
  [[ -n $n ]] || e2e_fail "Xvfb chose no display"
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  e2e_fail "Xvfb did not start"
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

# Region arithmetic on screenshots and picture files, in one small Python program.
cat >"$E2E_DIR/regions.py" <<'PY'
import subprocess, sys

class Img:
    """A picture file or screenshot as 8-bit RGB rows, optionally just the rectangle crop = (x, y, w, h)."""
    def __init__(self, path, crop=None):
        args = ["convert", path]
        if crop: args += ["-crop", "%dx%d+%d+%d" % (crop[2], crop[3], crop[0], crop[1]), "+repage"]
        out = subprocess.run(args + ["-depth", "8", "ppm:-"], capture_output=True, check=True).stdout
        # P6 header: magic, width, height, maximum, each followed by one blank.
        fields, pos = [], 0
        while len(fields) < 4:
            while out[pos:pos+1].isspace(): pos += 1
            start = pos
            while not out[pos:pos+1].isspace(): pos += 1
            fields.append(out[start:pos])
        self.w, self.h = int(fields[1]), int(fields[2])
        self.d = out[pos+1:pos+1+self.w*self.h*3]
    def row(self, x, y, n):
        i = (y*self.w + x)*3
        return self.d[i:i+n*3]

def ints(args): return [int(a) for a in args]

def rect(args):
    x, y, w, h = ints(args)
    x0, y0 = max(x, 0), max(y, 0)
    return x0, y0, w - (x0 - x), h - (y0 - y)

def locate(shot, ref, tol, px, py, pw, ph):
    """Screen position of ref's top-left corner, found by a pw x ph patch of ref at (px, py)."""
    patch = [ref.row(px, py + j, pw) for j in range(ph)]
    def fits(X, Y):
        for j in range(ph):
            s = shot.row(X, Y + j, pw)
            if tol == 0:
                if s != patch[j]: return False
            elif max(abs(a - b) for a, b in zip(s, patch[j])) > tol: return False
        return True
    first = patch[0]
    for Y in range(shot.h - ph + 1):
        line = shot.row(0, Y, shot.w)
        if tol == 0:
            x = line.find(first)
            while x != -1:
                if x % 3 == 0 and x // 3 <= shot.w - pw and fits(x // 3, Y): return x // 3 - px, Y - py
                x = line.find(first, x + 1)
        else:
            r, g, b = first[0], first[1], first[2]
            for X in range(shot.w - pw + 1):
                i = X*3
                if abs(line[i] - r) <= tol and abs(line[i+1] - g) <= tol and abs(line[i+2] - b) <= tol \
                        and fits(X, Y):
                    return X - px, Y - py
    return None

def cmd_locate(a):
    # locate SHOT REF TOL [PX PY PW PH]: prints "X Y", the screen position of REF's top-left pixel
    shot, ref = Img(a[0]), Img(a[1])
    tol = int(a[2])
    if len(a) > 3: px, py, pw, ph = ints(a[3:7])
    else: pw, ph = min(60, ref.w), min(40, ref.h); px, py = (ref.w - pw)//2, (ref.h - ph)//2
    found = locate(shot, ref, tol, px, py, pw, ph)
    if found is None: sys.exit(1)
    print(*found)

def cmd_shown(a):
    # shown SHOT REF TOL: REF shown whole at 100 %: a patch from its middle and its four corner
    # blocks all found at one place. Prints "X Y W H", REF's screen rectangle.
    shot, ref = Img(a[0]), Img(a[1])
    tol = int(a[2])
    pw, ph = min(60, ref.w), min(40, ref.h)
    found = locate(shot, ref, tol, (ref.w - pw)//2, (ref.h - ph)//2, pw, ph)
    if found is None: sys.exit("no part of the picture found on the screen")
    c = min(20, ref.w, ref.h)
    for cx in (0, ref.w - c):
        for cy in (0, ref.h - c):
            X, Y = found[0] + cx, found[1] + cy
            ok = 0 <= X <= shot.w - c and 0 <= Y <= shot.h - c and all(
                max(abs(p - q) for p, q in zip(shot.row(X, Y + j, c), ref.row(cx, cy + j, c))) <= tol
                for j in range(c))
            if not ok: sys.exit("the corner (%d, %d) of the picture is not shown" % (cx, cy))
    print(found[0], found[1], ref.w, ref.h)

def cmd_disc(a):
    # disc A B X Y W H CX CY RIN ROUT: within the rectangle, compares A and B inside radius RIN
    # and outside radius ROUT of the screen point (CX, CY). Prints "changed-inside pixels-inside
    # changed-outside pixels-outside sum-of-differences-inside".
    x, y, w, h = r = rect(a[2:6])
    A, B = Img(a[0], r), Img(a[1], r)
    w, h = min(A.w, B.w), min(A.h, B.h)
    cx, cy, rin, rout = ints(a[6:10])
    cin = nin = cout = nout = sad = 0
    for j in range(y, y + h):
        ra, rb = A.row(0, j - y, w), B.row(0, j - y, w)
        dy2 = (j - cy)**2
        for k in range(w):
            d2 = (x + k - cx)**2 + dy2
            i = k*3
            if d2 < rin*rin:
                nin += 1
                s = abs(ra[i]-rb[i]) + abs(ra[i+1]-rb[i+1]) + abs(ra[i+2]-rb[i+2])
                sad += s
                cin += s > 0
            elif d2 > rout*rout:
                nout += 1
                cout += ra[i:i+3] != rb[i:i+3]
    print(cin, nin, cout, nout, sad)

def cmd_bw(a):
    # bw SHOT X Y W H TOL: prints "black white other", pixels within TOL of pure black or white
    S = Img(a[0], rect(a[1:5]))
    tol = int(a[5])
    black = white = other = 0
    for j in range(S.h):
        r = S.row(0, j, S.w)
        w = S.w
        for i in range(0, w*3, 3):
            m, M = min(r[i:i+3]), max(r[i:i+3])
            if M <= tol: black += 1
            elif m >= 255 - tol: white += 1
            else: other += 1
    print(black, white, other)

def cmd_match(a):
    # match SHOT FILE X Y [RX RY RW RH]: compares FILE's picture (or its rectangle RX RY RW RH) with
    # the screen where FILE's top-left pixel is shown at (X, Y); prints "mean-difference
    # largest-difference" over all channels
    x, y = ints(a[2:4])
    F = Img(a[1])
    rx, ry, rw, rh = ints(a[4:8]) if len(a) > 4 else (0, 0, F.w, F.h)
    if rx < 0 or ry < 0 or rx + rw > F.w or ry + rh > F.h: sys.exit("the rectangle is not inside the file's picture")
    S = Img(a[0], (x + rx, y + ry, rw, rh))
    if (S.w, S.h) != (rw, rh): sys.exit("the file's picture does not fit on the screen there")
    total = largest = 0
    for j in range(rh):
        rs, rf = S.row(0, j, rw), F.row(rx, ry + j, rw)
        if rs == rf: continue
        for p, q in zip(rs, rf):
            d = abs(p - q)
            total += d
            if d > largest: largest = d
    print("%.3f" % (total / (rw*rh*3)), largest)

def cmd_extent(a):
    # extent SHOT X Y W H: the bounding box "X Y W H" of the pixels in the rectangle whose colour
    # differs from the rectangle's bottom-right pixel (the background behind a picture)
    x, y, w, h = r = rect(a[1:5])
    S = Img(a[0], r)
    w, h = S.w, S.h
    bg = S.row(w - 1, h - 1, 1)
    xs, ys = [], []
    for j in range(h):
        r = S.row(0, j, w)
        if r == bg * w: continue
        ks = [k for k in range(w) if r[k*3:k*3+3] != bg]
        xs += [ks[0], ks[-1]]; ys.append(j)
    if not ys: print(0, 0, 0, 0); return
    print(x + min(xs), y + ys[0], max(xs) - min(xs) + 1, ys[-1] - ys[0] + 1)

def cmd_ink(a):
    # ink SHOT X Y W H LEVEL: the bounding box "X Y W H" of the pixels in the rectangle darker than
    # LEVEL in every channel (text on a light background)
    x, y, w, h = r = rect(a[1:5])
    S = Img(a[0], r)
    level = int(a[5])
    xs, ys = [], []
    for j in range(S.h):
        row = S.row(0, j, S.w)
        ks = [k for k in range(S.w) if max(row[k*3:k*3+3]) < level]
        if ks: xs += [ks[0], ks[-1]]; ys.append(j)
    if not ys: print(0, 0, 0, 0); return
    print(x + min(xs), y + ys[0], max(xs) - min(xs) + 1, ys[-1] - ys[0] + 1)

globals()["cmd_" + sys.argv[1]](sys.argv[2:])
PY

e2e_py() { python3 "$E2E_DIR/regions.py" "$@"; }

# e2e_window TITLE: the id of the top-level window titled TITLE, waiting up to 10 s for it.
e2e_window() {
  local id
  for _ in $(seq 50); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [[ -n $id ]] && { echo "$id"; return 0; }
    sleep 0.2
  done
  e2e_fail "no window titled $1"
}

# e2e_geometry ID PREFIX: sets PREFIX_X, PREFIX_Y, PREFIX_W, PREFIX_H to the window's screen rectangle.
e2e_geometry() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  printf -v "$2_X" %d "$X"; printf -v "$2_Y" %d "$Y"
  printf -v "$2_W" %d "$WIDTH"; printf -v "$2_H" %d "$HEIGHT"
}

# e2e_locate SHOT REF [TOL]: sets PIC_X, PIC_Y to where REF's top-left pixel is shown on the screen,
# found by a 60 x 40 patch from REF's middle that must match to within TOL per channel (0 = exactly).
e2e_locate() {
  local at
  at=$(e2e_py locate "$1" "$2" "${3:-0}") || return 1
  read -r PIC_X PIC_Y <<<"$at"
}

# e2e_expect_shown SHOT REF [TOL]: REF's picture is shown whole at 100 % somewhere on the screen, each
# channel within TOL (default 0); sets PIC_X, PIC_Y, PIC_W, PIC_H to its screen rectangle. While it
# is not, SHOT is taken again, for up to 20 s (a loaded machine may still be painting).
e2e_expect_shown() {
  local at end=$((SECONDS + 20))
  until at=$(e2e_py shown "$1" "$2" "${3:-0}" 2>"$E2E_DIR/shown.err"); do
    ((SECONDS < end)) || e2e_fail "the picture $(basename "$2") is not shown whole: $(cat "$E2E_DIR/shown.err")"
    sleep 0.3
    e2e_screenshot "$1"
  done
  read -r PIC_X PIC_Y PIC_W PIC_H <<<"$at"
}

# The sample picture is shown at 100 % (sets PIC_X, PIC_Y, PIC_W, PIC_H).
e2e_expect_sample_shown() { e2e_expect_shown "$1" "$E2E_LIB/../../resources/sample.bmp"; }

# e2e_wait_until DESCRIPTION SECONDS COMMAND...: runs COMMAND every 0.2 s until it succeeds.
e2e_wait_until() {
  local what=$1 limit=$2; shift 2
  local end=$((SECONDS + limit))
  until "$@"; do
    ((SECONDS < end)) || e2e_fail "timed out after ${limit} s waiting until $what"
    sleep 0.2
  done
}

# e2e_count_diff A B X Y W H: how many pixels of the rectangle differ between A and B.
e2e_count_diff() {
  local crop="[${5}x$6+$3+$4]" out
  out=$(compare -metric AE "$1$crop" "$2$crop" null: 2>&1) || true
  [[ $out =~ ^[0-9]+$ ]] || e2e_fail "comparing $(basename "$1") with $(basename "$2") failed: $out"
  echo "$out"
}

# e2e_region_differs A B X Y W H [MIN]: at least MIN (default 1) pixels of the rectangle differ.
e2e_region_differs() { local n; n=$(e2e_count_diff "$@") || exit 1; ((n >= ${7:-1})); }
e2e_region_equal() { local n; n=$(e2e_count_diff "$@") || exit 1; ((n == 0)); }

# e2e_shot_settled OUT X Y W H: takes screenshots into OUT until the rectangle shows the same in
# two shots 0.4 s apart (the program has finished painting).
e2e_shot_settled() {
  local out=$1 prev=$E2E_DIR/settle.png end=$((SECONDS + 60))
  e2e_screenshot "$prev"
  while :; do
    sleep 0.4
    e2e_screenshot "$out"
    e2e_region_equal "$prev" "$out" "$2" "$3" "$4" "$5" && return 0
    ((SECONDS < end)) || e2e_fail "the screen did not settle"
    cp "$out" "$prev"
  done
}

# e2e_wait_shot_changed BEFORE OUT X Y W H [SECONDS]: screenshots into OUT until the rectangle
# differs from BEFORE, then until it settles.
e2e_wait_shot_changed() {
  local end=$((SECONDS + ${7:-30}))
  while :; do
    e2e_screenshot "$2"
    e2e_region_differs "$1" "$2" "$3" "$4" "$5" "$6" && break
    ((SECONDS < end)) || e2e_fail "the screen did not change at $3,$4 ${5}x$6"
    sleep 0.2
  done
  e2e_shot_settled "$2" "$3" "$4" "$5" "$6"
}

# e2e_wait_shot_equal REF OUT X Y W H [SECONDS]: screenshots into OUT until the rectangle shows what
# REF shows there.
e2e_wait_shot_equal() {
  local end=$((SECONDS + ${7:-30}))
  while :; do
    e2e_screenshot "$2"
    e2e_region_equal "$1" "$2" "$3" "$4" "$5" "$6" && return 0
    ((SECONDS < end)) || e2e_fail "the screen at $3,$4 ${5}x$6 did not come back to $(basename "$1")"
    sleep 0.2
  done
}

# e2e_leave_picture: moves the pointer off the picture (PIC_X, PIC_Y) by way of its top-left pixel,
# where no brush outline is drawn, so the outline of the last position is gone; it rests on the
# main window's status bar, where the keyboard reaches the editor.
e2e_leave_picture() {
  xdotool mousemove $((PIC_X + 1)) $((PIC_Y + 1))
  sleep 0.1
  xdotool mousemove "$E2E_REST_X" "$E2E_REST_Y"
}

# e2e_barrier: makes sure the editor has handled every input sent so far and painted its results.
# It moves the pointer onto the picture at (BARRIER_X, BARRIER_Y), screen coordinates, away from
# anything under test, waits for the brush outline (radius BARRIER_R, 50 unless set) to show there,
# then takes the pointer off the picture and waits for the outline to go.
e2e_barrier() {
  local x=$BARRIER_X y=$BARRIER_Y r=${BARRIER_R:-50}
  local box=($((x - r - 2)) $((y - r - 2)) $((2 * r + 5)) $((2 * r + 5)))
  e2e_screenshot "$E2E_DIR/barrier0.png"
  xdotool mousemove "$x" "$y"
  e2e_wait_until "the editor answers the pointer" 60 e2e_shot_differs_now "$E2E_DIR/barrier0.png" "${box[@]}"
  e2e_leave_picture
  e2e_wait_until "the brush outline is gone" 60 e2e_shot_equal_now "$E2E_DIR/barrier0.png" "${box[@]}"
}
e2e_shot_differs_now() { e2e_screenshot "$E2E_DIR/now.png"; e2e_region_differs "$1" "$E2E_DIR/now.png" "$2" "$3" "$4" "$5"; }
e2e_shot_equal_now() { e2e_screenshot "$E2E_DIR/now.png"; e2e_region_equal "$1" "$E2E_DIR/now.png" "$2" "$3" "$4" "$5"; }

# e2e_keys KEY...: sends keys to the editor's main window (the shortcuts are application-wide).
e2e_keys() {
  xdotool windowfocus "$E2E_MAIN" 2>/dev/null || true
  xdotool key --clearmodifiers "$@"
}

# e2e_setup_editor ARGS...: X server, the editor with ARGS, the window ids E2E_MAIN and E2E_TOOLS with
# their geometries (MAIN_X... and TOOLS_X...), and the pointer's resting place on the status bar.
e2e_setup_editor() {
  e2e_start_x
  e2e_start_editor "$@"
  E2E_MAIN=$(e2e_window "Pullface v5.95")
  E2E_TOOLS=$(e2e_window "工具")
  e2e_geometry "$E2E_MAIN" MAIN
  e2e_geometry "$E2E_TOOLS" TOOLS
  E2E_REST_X=$((MAIN_X + MAIN_W / 2)); E2E_REST_Y=$((MAIN_Y + MAIN_H - 8))
  xdotool mousemove "$E2E_REST_X" "$E2E_REST_Y"
  e2e_shot_settled "$E2E_DIR/started.png" "$MAIN_X" "$MAIN_Y" "$MAIN_W" "$MAIN_H"
}

# e2e_tools_tab N: shows page N (0 distort, 1 spiral, 2 sketch) of the tools panel.
e2e_tools_tab() {
  local tabx=(23 69 115)
  xdotool mousemove $((TOOLS_X + tabx[$1])) $((TOOLS_Y + 12)) click 1
}

# e2e_keep_shot NAME SHOT: with PULLFACE_SHOTS naming a folder, keeps the editor's windows of SHOT
# there as NAME.png (cropped to the main window; the tools panel lies over it).
e2e_keep_shot() {
  [[ -n ${PULLFACE_SHOTS:-} ]] || return 0
  mkdir -p "$PULLFACE_SHOTS"
  # 256 dithered colours keep a window full of photograph at about 200 KB.
  convert "$2" -crop "${MAIN_W}x${MAIN_H}+${MAIN_X}+${MAIN_Y}" +repage -strip -colors 256 "PNG8:$PULLFACE_SHOTS/$1.png"
}
