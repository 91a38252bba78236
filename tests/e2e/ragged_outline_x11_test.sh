#!/usr/bin/env bash
# The real program on a real X server: a mask as ragged as a face may be
# (a 2048 x 2048 checkerboard, two million runs) shapes the window and the
# connection to the server holds.
set -uo pipefail
clock="$1"
tmp="$(mktemp -d)"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    rm -rf "$tmp"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 2100x2100x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$tmp/display")" QT_QPA_PLATFORM=xcb TOLVENMARK_PROMPTS=stderr
export XDG_RUNTIME_DIR="$tmp/run" TOLVENMARK_WINDIR="$tmp"
mkdir -m 700 "$tmp/run" "$tmp/skin"

python3 - "$tmp/skin/mask.bmp" <<'PY'
import struct, sys
side = 2048
stride = side // 8
header = struct.pack("<2sIHHI", b"BM", 62 + stride * side, 0, 0, 62)
info = struct.pack("<IiiHHIIiiII", 40, side, side, 1, 1, 0, stride * side, 2835, 2835, 2, 0)
rows = b"".join((b"\x55" if y % 2 else b"\xaa") * stride for y in range(side))
open(sys.argv[1], "wb").write(header + info + b"\0\0\0\0\xff\xff\xff\0" + rows)
PY
printf '[Version]\nVer=217\n[BITMAPINFO]\nMaskBitmap=mask.bmp\n' >"$tmp/skin/skin.ini"

"$clock" --show-skin "$tmp/skin/skin.ini" 2>"$tmp/err" &
pids+=($!)
window="$(timeout 120 xdotool search --sync --onlyvisible --name 'Tolvenmark Clock' | head -1)"
# The pointer on two neighbouring pixels: one in the window, one through it.
X=0 Y=0
eval "$(xdotool getwindowgeometry --shell "${window:-0}" 2>/dev/null)"
under() { xdotool mousemove "$1" "$2" getmouselocation --shell | sed -n 's/^WINDOW=//p'; }
left="$(under "$((X + 100))" "$((Y + 100))")"
right="$(under "$((X + 101))" "$((Y + 100))")"
failures=0
if ! kill -0 "${pids[1]}" 2>/dev/null || grep -q 'X11 connection broke' "$tmp/err"; then
    echo "FAIL: the program ended:"; cat "$tmp/err"; failures=1
elif ! xwininfo -id "$window" -shape | grep -q 'Window shape extents:  2048x2048'; then
    echo "FAIL: the window is not shaped:"; xwininfo -id "$window" -shape; failures=1
elif [ "$left" = "$right" ] || { [ "$left" != "$window" ] && [ "$right" != "$window" ]; }; then
    echo "FAIL: the outline is not the mask's: window $window, pointer over $left, then $right"; failures=1
fi
[ "$failures" -eq 0 ] && echo "all passed"
exit "$failures"
