#!/usr/bin/env python3
"""Feeds the real program the worst files of each input and prints, per case,
what it answered (its first message line), its peak resident memory and its
time, measured with /usr/bin/time. A Markdown table for the README.

    bench/hostile_inputs.py [BUILD]        (default build/)
"""
import os, shutil, signal, socket, struct, subprocess, sys, tempfile, time

build = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else "build")
program = build + "/tolvenmark-clock"
source = os.path.dirname(os.path.dirname(os.path.realpath(__file__)))
work = tempfile.mkdtemp()
cfg = work + "/cfg"
os.makedirs(cfg)
rows = []

ENV = dict(os.environ, QT_QPA_PLATFORM="offscreen", TOLVENMARK_PROMPTS="stderr", TOLVENMARK_WINDIR=cfg,
           XDG_RUNTIME_DIR=cfg, TOLVENMARK_SHORT_DATE="M/d/yyyy", TOLVENMARK_DATE_SEP="/")


def config(extra=b"", before=b"", alformat=b"123", sep=b"/"):
    with open(cfg + "/TOLVENMARKCLOCK.INI", "wb") as f:
        f.write(before + b"[ALARM]\r\nAPPPATH=" + cfg.encode() + b"\r\nVERSION=1.1\r\nALFORMAT=" + alformat +
                b"\r\nALDATESEP=" + sep + b"\r\nALDATE=1" + sep + b"5" + sep + b"2027\r\n" + extra)


def run(name, args, seconds=8, feed=None, env=None, tool=None, file_limit=None):
    """Runs the program under /usr/bin/time; feed(proc) may talk to it meanwhile."""
    if not selected(name):
        return
    out = work + "/time"
    limit = ["prlimit", "--fsize=%d" % file_limit] if file_limit else []
    proc = subprocess.Popen(["/usr/bin/time", "-f", "%M %e %U %S", "-o", out, "timeout", "-s", "TERM", str(seconds)] +
                            limit + [tool or program] + args, env=env or ENV, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE,
                            # A full disk answers writes with an error, not with the end of the process.
                            preexec_fn=lambda: signal.signal(signal.SIGXFSZ, signal.SIG_IGN))
    if feed:
        feed()
    err = proc.communicate()[1].decode("utf-8", "replace")
    kb, secs, user, system = open(out).read().split()[-4:]
    lines = [l for l in err.splitlines() if l and not l.startswith(("qt.", "QStandardPaths", "first-frame", "This plugin", "Command exited", "Command terminated"))]
    answer = lines[0][:110] if lines else "(none: runs normally)"
    ran = float(secs) >= seconds - 0.5
    rows.append((name, answer.replace("|", "\\|"), "%.1f MiB" % (int(kb) / 1024),
                 (("still running at %d s" % seconds) if ran else "%.2f s" % float(secs)) +
                 ", CPU %.1f s" % (float(user) + float(system))))
    print(rows[-1], file=sys.stderr)


def skin_folder(name, ini, files=()):
    d = work + "/" + name
    shutil.copytree(source + "/resources/skins/round", d)
    with open(d + "/skin.ini", "wb") as f:
        f.write(ini)
    for fname, data in files:
        with open(d + "/" + fname, "wb") as f:
            f.write(data)
    return d + "/skin.ini"


def bmp8(width, height, rows_present):
    """An 8-bit bitmap header for width x height with rows_present rows of pixels."""
    stride = (width + 3) & ~3
    palette = b"".join(struct.pack("<BBBB", i, i, i, 0) for i in range(256))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + stride * height, 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, stride * height, 2835, 2835, 256, 0)
    return header + info + palette + b"\x80" * (stride * rows_present)


def packed(members, size_override=None):
    b = bytearray(8844)
    b[0:10] = b"\x09TSKINFORM"
    b[10] = len(members)
    for i, (n, data) in enumerate(members):
        e = 11 + i * 65
        b[e] = len(n)
        b[e + 1:e + 1 + len(n)] = n
        struct.pack_into("<I", b, 8332 + i * 4, len(data) if size_override is None or i else size_override)
    return bytes(b) + b"".join(d for _, d in members)


def jpeg_claiming(width, height, tag=b""):
    """A JPEG whose frame announces width x height over 200 bytes of scan: decoded whole, in grey."""
    data = bytearray(open(source + "/resources/skins/round/face.jpg", "rb").read())
    i = 2
    while data[i + 1] not in (0xC0, 0xC1, 0xC2):
        i += 2 + struct.unpack(">H", data[i + 2:i + 4])[0]
    struct.pack_into(">HH", data, i + 5, height, width)
    sos = data.index(b"\xff\xda")
    return bytes(data[:2]) + b"\xff\xfe" + struct.pack(">H", len(tag) + 2) + tag + bytes(data[2:sos + 200])


def checkerboard_bmp(side):
    """A 1-bit bitmap of side x side pixels, black and white alternating: a run per pixel pair."""
    stride = (side + 31) // 32 * 4
    offset = 14 + 40 + 8
    header = struct.pack("<2sIHHI", b"BM", offset + stride * side, 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, side, side, 1, 1, 0, stride * side, 2835, 2835, 2, 0)
    rows = b"".join((b"\x55" if y % 2 else b"\xaa") * stride for y in range(side))
    return header + info + b"\x00\x00\x00\x00\xff\xff\xff\x00" + rows


def selected(name):
    only = os.environ.get("HOSTILE_ONLY")  # parts of case names, separated by "|"
    return not only or any(part in name for part in only.split("|"))


round_ini = open(source + "/resources/skins/round/skin.ini", "rb").read()
config()

# Skins, shown with --show-skin (a loaded skin keeps running until the timeout).
run("skin INI of 16 MB + 1 byte", ["--show-skin", skin_folder("big", round_ini + b"[F]\n" + b";" * (16 << 20))])
run("skin INI just under 16 MB: 400,000 display lines, Count=2147483647",
    ["--show-skin", skin_folder("lines", round_ini.replace(b"Count=6", b"Count=2147483647") +
                 b"".join(b"%d=X, A, 0, 0, 8, 0, 1, 1, Normal, t\n" % (i + 7) for i in range(400000)))])
run("skin image: 8-bit bitmap header 16,384 x 16,384, 100 bytes of pixels",
    ["--show-skin", skin_folder("bomb", round_ini.replace(b"mask.bmp", b"bomb.bmp"), [("bomb.bmp", bmp8(16384, 16384, 0)[:1200])])])
run("skin image: a real 8,192 x 8,192 bitmap (64 megapixels, 64 MB) as the face", ["--show-skin", skin_folder(
    "huge", round_ini.replace(b"MouseUpBitmap=face.jpg", b"MouseUpBitmap=huge.bmp"),
    [("huge.bmp", bmp8(8192, 8192, 8192))])], seconds=30)
run("skin image name ..\\..\\..\\etc\\passwd", ["--show-skin", skin_folder(
    "trav", round_ini.replace(b"MouseDownBitmap=lit.jpg", b"MouseDownBitmap=..\\..\\..\\..\\..\\etc\\passwd"))])
run("skin image name 4,000 folders deep", ["--show-skin", skin_folder(
    "deep", round_ini.replace(b"MouseDownBitmap=lit.jpg", b"MouseDownBitmap=" + b"d\\" * 4000 + b"lit.jpg"))])
ini = b"[BITMAPINFO]\r\nMaskBitmap=m.bmp\r\n"
for name, blob in [("packed skin with a member named ../escape.ini",
                    packed([(b"skin.ini", ini), (b"../escape.ini", b"x")])),
                   ("packed skin whose size entry says 4 GB", packed([(b"skin.ini", ini)], 0xFFFFFFFF)),
                   ("packed skin of 128 members of 2 MB (256 MB in all, 16 MB file limit)",
                    packed([(b"m%d.bmp" % i, b"") for i in range(128)], 2 << 20))]:
    path = work + "/%d.skn" % len(rows)
    open(path, "wb").write(blob)
    run(name, ["--show-skin", path])

# The configuration file, read by the start-up (ended after 8 s).
config(before=b"".join(b"junk line %d = x\r\n" % i for i in range(2500000)))
run("configuration of 50 MB, the section at its end", [])
config(extra=b"ALHEADER=" + b"A" * (64 << 20) + b"\r\n")
run("configuration with a 64 MB value", [])

# "Alarms.txt" through the date-format change (day-first stored, month-first now).
config(alformat=b"213", sep=b".")
with open(cfg + "/Alarms.txt", "wb") as f:
    f.write(b"".join(b"Alarm %d^%d.%d.2027^7:00:00 AM^\r\n" % (i, i % 28 + 1, i % 12 + 1) for i in range(1000000)))
run('"Alarms.txt" of 1,000,000 lines (38 MB), every date changed', [])
config(alformat=b"213", sep=b".")
with open(cfg + "/Alarms.txt", "wb") as f:
    f.write(b"Alarm^5.1.2027^" + b"7" * (64 << 20))
run('"Alarms.txt" of one 64 MB line without a line end', [])
os.remove(cfg + "/Alarms.txt")
config()


def flood():
    time.sleep(1.5)
    sent = 0
    s = socket.socket(socket.AF_UNIX)
    s.connect(cfg + "/tolvenmark-clock.socket")
    try:
        while sent < (100 << 20):
            sent += s.send(b"S" * 65536)
    except OSError:
        pass
    s.close()
    r = subprocess.run([program], env=ENV, capture_output=True, timeout=10)
    print("second start after the flood: status %d after %d bytes sent" % (r.returncode, sent), file=sys.stderr)


run("command channel: 100 MB without a line end (then a second start)", [], feed=flood)

# Files the program reads replaced by a FIFO: nothing may wait for a writer.
os.mkfifo(cfg + "/TOLVENMARKCLOCK.INI.date-change")
run("a FIFO at TOLVENMARKCLOCK.INI.date-change", [])
os.remove(cfg + "/TOLVENMARKCLOCK.INI.date-change")
os.mkfifo(work + "/fifo.skn")
run("tolvenmark-skin-pack --list on a FIFO", ["--list", work + "/fifo.skn"], tool=build + "/tolvenmark-skin-pack")

# A full disk (a file size limit of 16 bytes) under the succession at start-up:
# the pending alarm is past, the next one lies ahead.
config(extra=b"CHANGEALARM=Yes\r\nDELETEALARM=Yes\r\nALTIME=7:00:00 AM\r\nALHEADER=Rang\r\n")
with open(cfg + "/TOLVENMARKCLOCK.INI", "r+b") as f:
    text = f.read().replace(b"ALDATE=1/5/2027", b"ALDATE=1/5/2020")
    f.seek(0), f.truncate(), f.write(text)
with open(cfg + "/Alarms.txt", "wb") as f:
    f.write(b"Rang^1/5/2020^7:00:00 AM^\r\nNext^12/24/2099^6:30:00 PM^\r\n")
run('"Alarms.txt" rewritten by the succession on a full disk', [], file_limit=16)
with open(cfg + "/Alarms.txt", "wb") as f:
    f.write(b"Rang^1/5/2020^7:00:00 AM^\r\nFlood" + b"x" * (100 << 20) + b"^12/24/2098^7:00:00 AM^\r\n"
            b"Next^12/24/2099^6:30:00 PM^\r\n")
run('"Alarms.txt" whose next alarm has a header of 100 MB', [])
os.remove(cfg + "/Alarms.txt")
config()

# Skins that would take the machine's memory or the X server's patience.
names = [b"./" * n + b"huge.jpg" for n in range(6)]
huge_ini = (b"[Version]\r\nVer=217\r\n[BITMAPINFO]\r\nMaskBitmap=%s\r\nMouseUpBitmap=%s\r\nMouseDownBitmap=%s\r\n"
            b"MouseOnBitmap=%s\r\nNumbersBitmap=%s\r\nTextBitmap=%s\r\n" % tuple(names))
spellings = packed([(b"skin.ini", huge_ini), (b"huge.jpg", jpeg_claiming(8192, 8192))])
open(work + "/spellings.skn", "wb").write(spellings)
run("packed skin of %d KB: six spellings of one JPEG announcing 8,192 x 8,192" % (len(spellings) // 1024),
    ["--show-skin", work + "/spellings.skn"], seconds=30)
bars = b"[TRACKBARINFO]\r\nCount=7\r\n" + b"".join(
    b"%d=T, t%da.jpg, t%db.jpg, 0, 0, 10, H\r\n" % (n, n, n) for n in range(1, 8))
faces = b"".join(b"%s=f%d.jpg\r\n" % (key, i) for i, key in enumerate(
    [b"MaskBitmap", b"MouseUpBitmap", b"MouseDownBitmap", b"MouseOnBitmap", b"NumbersBitmap", b"TextBitmap"]))
many = [(b"skin.ini", b"[Version]\r\nVer=217\r\n[BITMAPINFO]\r\n" + faces + bars)] + [
    (b"f%d.jpg" % i, jpeg_claiming(4096, 4096, b"f%d" % i)) for i in range(6)] + [
    (b"t%d%s.jpg" % (n, s), jpeg_claiming(4096, 4096, b"%d%s" % (n, s))) for n in range(1, 8) for s in (b"a", b"b")]
open(work + "/many.skn", "wb").write(packed(many))
run("packed skin of 20 JPEGs announcing 4,096 x 4,096 (320 megapixels)",
    ["--show-skin", work + "/many.skn"], seconds=30)
run("skin image: a real 6,000 x 6,000 24-bit bitmap (36 megapixels)", ["--show-skin", skin_folder(
    "six", round_ini.replace(b"MouseUpBitmap=face.jpg", b"MouseUpBitmap=six.bmp"),
    [("six.bmp", struct.pack("<2sIHHI", b"BM", 54 + 18000 * 6000, 0, 0, 54) +
      struct.pack("<IiiHHIIiiII", 40, 6000, 6000, 1, 24, 0, 18000 * 6000, 2835, 2835, 0, 0) +
      b"\x40" * (18000 * 6000))])], seconds=30)
over = bytearray(packed([(b"skin.ini", b""), (b"m.bmp", b"")]))
struct.pack_into("<II", over, 8332, 150 << 20, 150 << 20)
with open(work + "/over.skn", "wb") as f:
    f.write(over)
    f.truncate(8844 + (300 << 20))  # two members of 150 MB, holes on the disk
run("tolvenmark-skin-pack --list on a packed skin of 300 MB of members", ["--list", work + "/over.skn"],
    tool=build + "/tolvenmark-skin-pack")
# On a real X server.
if selected("checkerboard") or selected("display items"):
    display = ":%d" % (200 + os.getpid() % 100)
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "2100x2100x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1.5)
    X11 = dict(ENV, QT_QPA_PLATFORM="xcb", DISPLAY=display)
    run("mask of a 2,048 x 2,048 checkerboard (2 million runs) on Xvfb", ["--show-skin", skin_folder(
        "checker", round_ini, [("mask.bmp", checkerboard_bmp(2048))])], seconds=15, env=X11)
    # Shown by the clock itself, whose tick writes the display texts every second.
    config(extra=b"SKIN=" + skin_folder("fonts", round_ini.replace(b"Count=6", b"Count=1000").replace(
        b"[TRACKBARINFO]", b"".join(b"%d=SECONDS, DejaVu Sans, TRUE, FALSE, 1500, 255, 0, 0, Normal, 88\r\n" % n
                                    for n in range(7, 1001)) + b"[TRACKBARINFO]")).encode() + b"\r\n")
    run("1,000 display items of 1,500-point text, as the clock's skin on Xvfb", [], seconds=15, env=X11)
    config()
    xvfb.terminate()

# The command line.
run("command line: 100,000 arguments", ["--x"] * 100000)
run("command line: --show-skin with a 128 KB file name", ["--show-skin", "a" * 131000])

print("| input and what was tried | answer | peak memory | time |")
print("|---|---|---|---|")
for r in rows:
    print("| %s | %s | %s | %s |" % r)
shutil.rmtree(work)
