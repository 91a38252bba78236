#!/usr/bin/python3
"""The clock on a real Wayland compositor (weston on Xvfb): the Round skin is round, Escape hides it,
--show brings it back, --status answers."""
import os, sys
from desktop_session import Session

clock, source = sys.argv[1], os.path.abspath(sys.argv[2])
s = Session(clock, ["weston", "Xvfb", "xdotool"], skin=source + "/resources/skins/round/skin.ini")
DESKTOP = 0x336699

def face_box():
    """Rows and columns of weston's screen with more than the pointer's arrow on them: (l, t, r, b) or None."""
    rows = [row[:640] for row in s.screen()[:480]]
    if DESKTOP not in rows[0]:
        return None  # weston has not drawn yet
    ys = [y for y, row in enumerate(rows) if sum(p != DESKTOP for p in row) > 40]
    xs = [x for x in range(640) if sum(row[x] != DESKTOP for row in rows) > 40]
    return (xs[0], ys[0], xs[-1], ys[-1], rows) if xs and ys else None

try:
    s.xvfb()
    with open(s.home + "/weston.ini", "w") as ini:
        ini.write("[shell]\nbackground-color=0xff336699\npanel-position=none\nlocking=false\nanimation=none\n"
                  "startup-animation=none\nfocus-animation=none\n[core]\nidle-time=0\n")
    s.start(["weston", "--backend=x11-backend.so", "--use-pixman", "--width=640", "--height=480",
             "--socket=wl", "--config=" + s.home + "/weston.ini"])
    s.wait_for("weston listens", lambda: os.path.exists(s.home + "/wl"))
    s.env.update(WAYLAND_DISPLAY="wl", QT_QPA_PLATFORM="wayland")
    s.start([clock])
    if box := s.wait_for("the face on the screen", face_box):
        left, top, right, bottom, rows = box
        s.check(300 <= right - left <= 400 and 300 <= bottom - top <= 400, f"the Round skin's size: {box[:4]}")
        corners = [rows[y][x] for x in (left + 6, right - 6) for y in (top + 6, bottom - 6)]
        s.check(corners == [DESKTOP] * 4, f"the desktop through the corners outside the outline: {corners}")
        # A click on the face (no button there) gives the clock the keyboard, as weston does for a user.
        s.run("xdotool", "search", "--class", "Weston Compositor", "windowfocus", "--sync",
              "mousemove", str((left + right) // 2), str(top + 12), "click", "1", "mousemove", "630", "470")
    s.wait_for("Escape takes the face off the screen", lambda: s.run(
        "xdotool", "search", "--class", "Weston Compositor", "windowfocus", "--sync", "key", "Escape", "sleep", "0.5")
        and not face_box())
    s.check(s.run(clock, "--show").returncode == 0, "--show answers")
    s.wait_for("--show brings the face back", face_box)
    s.check("alarm=on" in s.run(clock, "--status").stdout, "--status answers")
finally:
    s.finish()
