"""A private desktop for one end-to-end run: folders, servers, the clock and its control commands."""
import os, shutil, struct, subprocess, sys, tempfile, time


class Session:
    def __init__(self, clock, tools, skin="Default"):
        if missing := [t for t in tools if not shutil.which(t)]:
            print("SKIP: not installed:", *missing)
            sys.exit(77)  # the test runner's "skipped"
        self.clock, self.failures, self.started, h = clock, [], [], tempfile.mkdtemp()
        self.home = h  # the clock's runtime folder too, so private
        self.env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "DISPLAY")}
        self.env.update(HOME=h, XDG_CONFIG_HOME=h, XDG_DATA_HOME=h, XDG_CACHE_HOME=h, XDG_RUNTIME_DIR=h,
                        TOLVENMARK_WINDIR=h, TOLVENMARK_PROMPTS="stderr", DBUS_SESSION_BUS_ADDRESS="unix:path=/none")
        with open(h + "/TOLVENMARKCLOCK.INI", "w") as ini:
            ini.write(f"[ALARM]\nAPPPATH={h}\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nSKIN={skin}\nALSET=TRUE\n"
                      "ALHEADER=Wake\nALDATE=1/1/2099\nALTIME=7:00:00 AM\n")

    def check(self, ok, what):
        if not ok:
            self.failures.append(what)
            print("FAIL:", what)
        return ok

    def start(self, args, **kw):
        log = open(f"{self.home}/{len(self.started)}-{os.path.basename(args[0])}.log", "w")
        self.started.append(subprocess.Popen(args, env=self.env, stdout=log, stderr=log, **kw))

    def server_line(self, args):
        """Starts a server that writes its address to the descriptor FD; that line."""
        r, w = os.pipe()
        self.start([a.replace("FD", str(w)) for a in args], pass_fds=(w,))
        os.close(w)
        with os.fdopen(r) as pipe:
            return pipe.readline().strip()

    def xvfb(self):
        self.env["DISPLAY"] = ":" + self.server_line(["Xvfb", "-displayfd", "FD", "-screen", "0", "800x600x24",
                                                      "-fbdir", self.home, "-nolisten", "tcp"])

    def screen(self):
        """The X server's screen as rows of 0xRRGGBB, read from its frame buffer file."""
        data = open(self.home + "/Xvfb_screen0", "rb").read()
        size, width, height, line, colours = (struct.unpack(">25I", data[:100])[i] for i in (0, 4, 5, 12, 19))
        start = size + 12 * colours
        return [[int.from_bytes(data[start + y * line + 4 * x:start + y * line + 4 * x + 3], "little")
                 for x in range(width)] for y in range(height)]

    def wait_for(self, what, test):
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            if result := test():
                return result
            time.sleep(0.2)
        self.check(False, what)

    def run(self, *args):
        return subprocess.run(list(args), env=self.env, capture_output=True, text=True, timeout=20)

    def finish(self):
        for proc in reversed(self.started):
            proc.terminate()
            proc.wait(10)
        for log in sorted(os.listdir(self.home)) if self.failures else []:
            if log.endswith(".log"):
                print(f"--- {log}:", open(f"{self.home}/{log}", errors="replace").read()[-2000:])
        shutil.rmtree(self.home, ignore_errors=True)
        print("all passed" if not self.failures else f"{len(self.failures)} failed")
        sys.exit(1 if self.failures else 0)
