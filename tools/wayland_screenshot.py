#!/usr/bin/python3
"""docs/screenshots/clock-round-wayland.png: the clock with the Round skin on weston (its X11 backend
on Xvfb), read from the X server's frame buffer and cut to the face with a margin of desktop.
Usage: tools/wayland_screenshot.py [BUILD_DIR]"""
import os, struct, sys, time, zlib

source = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, source + "/tests/e2e")
from desktop_session import Session

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else source + "/build")
s = Session(build + "/tolvenmark-clock", ["weston", "Xvfb", "xdotool"], skin=source + "/resources/skins/round/skin.ini")
try:
    s.xvfb()
    with open(s.home + "/weston.ini", "w") as ini:
        ini.write("[shell]\nbackground-color=0xff2d4f6e\npanel-position=none\nlocking=false\nanimation=none\n"
                  "startup-animation=none\nfocus-animation=none\n[core]\nidle-time=0\n")
    s.start(["weston", "--backend=x11-backend.so", "--use-pixman", "--width=640", "--height=480",
             "--socket=wl", "--config=" + s.home + "/weston.ini"])
    s.wait_for("weston listens", lambda: os.path.exists(s.home + "/wl"))
    s.run("xdotool", "mousemove", "630", "470")  # the arrow in a corner, off the face
    s.env.update(WAYLAND_DISPLAY="wl", QT_QPA_PLATFORM="wayland",
                 TOLVENMARK_SHORT_TIME="h:mm AMPM", TOLVENMARK_LONG_TIME="h:mm:ss AMPM")
    s.start([s.clock])
    s.wait_for("the clock answers", lambda: s.run(s.clock, "--status").returncode == 0)
    time.sleep(2)
    rows = [row[:640] for row in s.screen()[:480]]
    desktop = 0x2d4f6e
    ys = [y for y, row in enumerate(rows) if sum(p != desktop for p in row) > 40]
    xs = [x for x in range(640) if sum(row[x] != desktop for row in rows) > 40]
    cut = [row[xs[0] - 24:xs[-1] + 25] for row in rows[ys[0] - 24:ys[-1] + 25]]
    raw = b"".join(b"\0" + b"".join(p.to_bytes(3, "big") for p in row) for row in cut)
    chunk = lambda kind, data: (struct.pack(">I", len(data)) + kind + data +
                                struct.pack(">I", zlib.crc32(kind + data)))
    with open(source + "/docs/screenshots/clock-round-wayland.png", "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", len(cut[0]), len(cut), 8, 2, 0, 0, 0))
                  + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
finally:
    s.finish()
