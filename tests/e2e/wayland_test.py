#!/usr/bin/python3
"""The clock on a real Wayland compositor (weston on Xvfb): the Round skin is round, Escape hides it,
--show brings it back, --status answers."""
import glob, os, subprocess, sys
from desktop_session import Session, read_png

clock, source = sys.argv[1], sys.argv[2]
s = Session(clock, ["weston", "weston-screenshooter", "Xvfb", "xdotool"])
BACKGROUND = (0x33, 0x66, 0x99)

def screenshot():
    for old in glob.glob(s.home + "/wayland-screenshot-*.png"):
        os.remove(old)
    s.run("sh", "-c", f"cd '{s.home}' && weston-screenshooter")
    shots = glob.glob(s.home + "/wayland-screenshot-*.png")
    return read_png(shots[0])[2] if shots else []

def face_box(rows):
    """The box of the rows and columns with more of something else than the desktop than the
    pointer's arrow could cover, or None."""
    lines = lambda counts: [i for i, n in enumerate(counts) if n > 40]
    ys = lines([sum(p != BACKGROUND for p in row) for row in rows])
    xs = lines([sum(row[x] != BACKGROUND for row in rows) for x in range(len(rows[0]))] if rows else [])
    return (xs[0], ys[0], xs[-1], ys[-1]) if xs and ys else None

try:
    s.xvfb()
    with open(s.home + "/weston.ini", "w") as ini:
        ini.write("[core]\nidle-time=0\n[shell]\nbackground-color=0xff336699\npanel-position=none\n"
                  "locking=false\nanimation=none\nstartup-animation=none\nfocus-animation=none\n")
    s.start(["weston", "--backend=x11-backend.so", "--use-pixman", "--width=640", "--height=480",
             "--socket=tm-wayland", "--config=" + s.home + "/weston.ini", "--debug"],
            stdout=open(s.home + "/weston.log", "w"), stderr=subprocess.STDOUT)
    s.wait_for("weston listens", lambda: os.path.exists(s.home + "/tm-wayland"))
    s.run("xdotool", "mousemove", "1000", "750")  # the pointer off the compositor's screen
    s.env.update(WAYLAND_DISPLAY="tm-wayland", QT_QPA_PLATFORM="wayland")
    s.config(source + "/resources/skins/round/skin.ini")
    s.start([clock], stderr=open(s.home + "/clock.err", "w"))
    s.wait_for("the clock answers --status", lambda: s.ctl("--status").returncode == 0)

    box = s.wait_for("the face on the screen", lambda: face_box(screenshot()))
    if box:
        rows = screenshot()
        left, top, right, bottom = box
        s.check(300 <= right - left <= 400 and 300 <= bottom - top <= 400, f"a face of the Round skin's size: {box}")
        corners = [rows[y][x] for x in (left + 6, right - 6) for y in (top + 6, bottom - 6)]
        s.check(all(p == BACKGROUND for p in corners), f"the desktop through the corners outside the outline: {corners}")
        s.check(rows[(top + bottom) // 2][(left + right) // 2] != BACKGROUND, "the face's middle drawn")

    weston = s.run("xdotool", "search", "--class", "Weston Compositor").stdout.split()
    if s.check(weston, "weston's window on the X server"):
        s.run("xdotool", "windowfocus", "--sync", weston[0])
        s.run("xdotool", "key", "Escape")
    s.wait_for("Escape takes the face off the screen", lambda: face_box(screenshot()) is None)
    shown = s.ctl("--show")
    s.check(shown.returncode == 0, "--show answers: " + shown.stderr)
    s.wait_for("--show brings the face back", lambda: face_box(screenshot()))
    s.check("alarm=on" in s.ctl("--status").stdout, "--status answers after all")
finally:
    if s.failures:
        for log in ("weston.log", "clock.err"):
            print(f"--- {log}\n" + open(s.home + "/" + log, errors="replace").read()[-3000:])
    s.finish()
