"""A private desktop for one end-to-end run: folders, servers, the clock and its control commands."""
import os, shutil, struct, subprocess, sys, tempfile, time, zlib

SKIP = 77  # the test runner's code for "skipped"


class Session:
    def __init__(self, clock, tools):
        missing = [t for t in tools if not shutil.which(t)]
        if missing:
            print("SKIP: not installed:", " ".join(missing))
            sys.exit(SKIP)
        self.clock, self.failures, self.started = clock, [], []
        self.home = tempfile.mkdtemp()  # the clock's runtime folder too, so private
        h = self.home
        self.env = dict(os.environ, HOME=h, XDG_CONFIG_HOME=h + "/config", XDG_DATA_HOME=h + "/data",
                        XDG_CACHE_HOME=h + "/cache", XDG_RUNTIME_DIR=h, TOLVENMARK_WINDIR=h,
                        TOLVENMARK_PROMPTS="stderr", DBUS_SESSION_BUS_ADDRESS="unix:path=" + h + "/no-bus")
        for name in ("WAYLAND_DISPLAY", "DISPLAY", "XDG_CURRENT_DESKTOP", "QT_QPA_PLATFORMTHEME"):
            self.env.pop(name, None)

    def config(self, skin="Default"):
        with open(self.home + "/TOLVENMARKCLOCK.INI", "w") as ini:
            ini.write(f"[ALARM]\nAPPPATH={self.home}\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nSKIN={skin}\n"
                      "ALSET=TRUE\nALHEADER=Wake\nALDATE=1/1/2099\nALTIME=7:00:00 AM\n")

    def check(self, ok, what):
        if not ok:
            self.failures.append(what)
            print("FAIL:", what)
        return ok

    def start(self, args, **kw):
        self.started.append(subprocess.Popen(args, env=self.env, **kw))
        return self.started[-1]

    def server_line(self, args):
        """Starts a server that writes one line (its address) to the descriptor FD."""
        r, w = os.pipe()
        self.start([a.replace("FD", str(w)) for a in args], pass_fds=(w,))
        os.close(w)
        with os.fdopen(r) as pipe:
            return pipe.readline().strip()

    def xvfb(self):
        self.env["DISPLAY"] = ":" + self.server_line(
            ["Xvfb", "-displayfd", "FD", "-screen", "0", "1024x768x24", "-nolisten", "tcp"])

    def session_bus(self):
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.server_line(
            ["dbus-daemon", "--session", "--nofork", "--print-address=FD"])

    def wait_for(self, what, test, seconds=30):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if result := test():
                return result
            time.sleep(0.2)
        self.check(False, what)

    def run(self, *args):
        return subprocess.run(list(args), env=self.env, capture_output=True, text=True, timeout=20)

    def ctl(self, *args):
        return self.run(self.clock, *args)

    def finish(self):
        for proc in reversed(self.started):
            proc.terminate()
            try:
                proc.wait(10)
            except subprocess.TimeoutExpired:
                proc.kill()
        shutil.rmtree(self.home, ignore_errors=True)
        print("all passed" if not self.failures else f"{len(self.failures)} failed")
        sys.exit(1 if self.failures else 0)


def read_png(path):
    """(width, height, rows of (r, g, b) tuples) of an 8-bit RGB or RGBA PNG without interlacing."""
    data = open(path, "rb").read()
    pos, chunks, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        pos += 12 + length
    width, height, depth, colour = header[:4]
    assert depth == 8 and colour in (2, 6), header
    step = 3 if colour == 2 else 4
    raw, stride, rows, prev = zlib.decompress(b"".join(chunks)), width * step, [], bytearray(width * step)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - step] if i >= step else 0
            b, c = prev[i], prev[i - step] if i >= step else 0
            if kind == 1: line[i] = (line[i] + a) & 255
            elif kind == 2: line[i] = (line[i] + b) & 255
            elif kind == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * step:x * step + 3]) for x in range(width)])
        prev = line
    return width, height, rows
