#!/usr/bin/python3
"""docs/screenshots/clock-round-wayland.png: the clock with the Round skin on weston (its X11 backend
on Xvfb), through the compositor's own screenshot, cut to the face with a margin of desktop.
Usage: tools/wayland_screenshot.py [BUILD_DIR]"""
import glob, os, struct, subprocess, sys, time, zlib

source = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, source + "/tests/e2e")
from desktop_session import Session, read_png

build = sys.argv[1] if len(sys.argv) > 1 else source + "/build"
s = Session(build + "/tolvenmark-clock", ["weston", "weston-screenshooter", "Xvfb", "xdotool"])
try:
    s.xvfb()
    with open(s.home + "/weston.ini", "w") as ini:
        ini.write("[core]\nidle-time=0\n[shell]\nbackground-color=0xff2d4f6e\npanel-position=none\n"
                  "locking=false\nanimation=none\nstartup-animation=none\nfocus-animation=none\n")
    s.start(["weston", "--backend=x11-backend.so", "--use-pixman", "--width=640", "--height=480",
             "--socket=tm-wayland", "--config=" + s.home + "/weston.ini", "--debug"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    s.wait_for("weston listens", lambda: os.path.exists(s.home + "/tm-wayland"))
    s.run("xdotool", "mousemove", "630", "470")  # the arrow in a corner, off the face
    s.env.update(WAYLAND_DISPLAY="tm-wayland", QT_QPA_PLATFORM="wayland",
                 TOLVENMARK_SHORT_TIME="h:mm AMPM", TOLVENMARK_LONG_TIME="h:mm:ss AMPM")
    s.config(source + "/resources/skins/round/skin.ini")
    s.start([s.clock])
    s.wait_for("the clock answers", lambda: s.ctl("--status").returncode == 0)
    time.sleep(1.5)
    s.run("sh", "-c", f"cd '{s.home}' && weston-screenshooter")
    width, height, rows = read_png(glob.glob(s.home + "/wayland-screenshot-*.png")[0])
    desktop = rows[0][0]
    ys = [y for y, row in enumerate(rows) if sum(p != desktop for p in row) > 40]
    xs = [x for x in range(width) if sum(row[x] != desktop for row in rows) > 40]
    left, top, right, bottom = xs[0] - 24, ys[0] - 24, xs[-1] + 24, ys[-1] + 24
    cut = [row[left:right + 1] for row in rows[top:bottom + 1]]
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in cut)
    chunk = lambda kind, data: (struct.pack(">I", len(data)) + kind + data +
                                struct.pack(">I", zlib.crc32(kind + data)))
    with open(source + "/docs/screenshots/clock-round-wayland.png", "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", len(cut[0]), len(cut), 8, 2, 0, 0, 0))
                  + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
finally:
    s.finish()
