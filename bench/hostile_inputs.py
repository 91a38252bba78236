#!/usr/bin/env python3
"""Feeds the real program the worst files of each input and prints, per case,
what it answered (its first message line), its peak resident memory and its
time, measured with /usr/bin/time. A Markdown table for the README.

    bench/hostile_inputs.py [BUILD]        (default build/)
"""
import os, shutil, socket, struct, subprocess, sys, tempfile, time

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


def run(name, args, seconds=8, feed=None):
    """Runs the program under /usr/bin/time; feed(proc) may talk to it meanwhile."""
    out = work + "/time"
    proc = subprocess.Popen(["/usr/bin/time", "-f", "%M %e", "-o", out, "timeout", "-s", "TERM", str(seconds),
                             program] + args, env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if feed:
        feed()
    err = proc.communicate()[1].decode("utf-8", "replace")
    kb, secs = open(out).read().split()[-2:]
    lines = [l for l in err.splitlines() if l and not l.startswith(("qt.", "QStandardPaths", "first-frame", "This plugin"))]
    answer = lines[0][:110] if lines else "(none: runs normally)"
    ran = float(secs) >= seconds - 0.5
    rows.append((name, answer.replace("|", "\\|"), "%.1f MiB" % (int(kb) / 1024),
                 ("still running at %d s" % seconds) if ran else "%.2f s" % float(secs)))
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

# The command line.
run("command line: 100,000 arguments", ["--x"] * 100000)
run("command line: --show-skin with a 128 KB file name", ["--show-skin", "a" * 131000])

print("| input and what was tried | answer | peak memory | time |")
print("|---|---|---|---|")
for r in rows:
    print("| %s | %s | %s | %s |" % r)
shutil.rmtree(work)
