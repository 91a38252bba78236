#!/usr/bin/python3
"""The clock as a screen reader meets it: the real program on Xvfb, its
objects read and pressed through the accessibility bus, then worked by keys."""
import os
import subprocess
import sys
import tempfile
import time

clock = sys.argv[1]
tmp = tempfile.TemporaryDirectory()
home = tmp.name
failures = []
started = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def start(args, **kw):
    proc = subprocess.Popen(args, **kw)
    started.append(proc)
    return proc


def read_fd_line(args):
    """Starts a server that writes one line (a display, a bus address) to a pipe."""
    r, w = os.pipe()
    start([a.replace("FD", str(w)) for a in args], pass_fds=(w,))
    os.close(w)
    with os.fdopen(r) as pipe:
        return pipe.readline().strip()


def wait_for(what, test, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = test()
        if result:
            return result
        time.sleep(0.2)
    check(False, what)
    return None


env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_DATA_HOME=home + "/data",
           XDG_CACHE_HOME=home + "/cache", XDG_RUNTIME_DIR=home, TOLVENMARK_WINDIR=home,
           TOLVENMARK_SHORT_DATE="M/d/yyyy", TOLVENMARK_DATE_SEP="/", TOLVENMARK_SHORT_TIME="h:mm AMPM",
           TOLVENMARK_LONG_TIME="h:mm:ss AMPM", TOLVENMARK_TIME_SEP=":", TOLVENMARK_AM="AM", TOLVENMARK_PM="PM",
           TOLVENMARK_PROMPTS="stderr", QT_QPA_PLATFORM="xcb",
           # Qt joins the bus only when told a reader is there; a test has none.
           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
os.chmod(home, 0o700)
with open(home + "/TOLVENMARKCLOCK.INI", "w") as ini:
    ini.write(f"[ALARM]\nAPPPATH={home}\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nSKIN=Default\nALSET=TRUE\n"
              "ALHEADER=Wake\nALDATE=1/1/2099\nALTIME=7:00:00 AM\n")

try:
    env["DISPLAY"] = ":" + read_fd_line(["Xvfb", "-displayfd", "FD", "-screen", "0", "800x600x24", "-nolisten", "tcp"])
    env["DBUS_SESSION_BUS_ADDRESS"] = read_fd_line(
        ["dbus-daemon", "--session", "--nofork", "--print-address=FD"])
    os.environ.update(env)
    start([clock], env=env, stderr=subprocess.DEVNULL)

    def status():
        out = subprocess.run([clock, "--status"], env=env, capture_output=True, text=True, timeout=20)
        return out.stdout if out.returncode == 0 else ""

    wait_for("the clock answers", status)
    import pyatspi  # after the bus exists

    def spots():
        found = {}
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            for obj in pyatspi.utils.findAllDescendants(app, lambda o: o.getRoleName() in ("push button", "label")):
                obj.clear_cache()
                found[(obj.getRoleName(), obj.name)] = obj
        return found if ("push button", "Snooze") in found else None

    found = wait_for("the clock's buttons on the bus", spots) or {}
    check(("push button", "Snooze") in found, "a Snooze button")
    switch = found.get(("push button", "Alarm On/Off"))
    check(switch is not None, "an Alarm On/Off button")
    check(("label", "1/1/2099 at 7:00:00 AM") in found and ("label", "Wake") in found,
          "the pending alarm's texts: " + repr(sorted(n for r, n in found if r == "label")))
    if switch:
        check(switch.getState().contains(pyatspi.STATE_CHECKED), "the switch reads as on")
        check("alarm=on" in status(), "the alarm starts on")
        switch.queryAction().doAction(0)
        wait_for("pressing the switch on the bus switches the alarm off", lambda: "alarm=off" in status())

        window = subprocess.run(["xdotool", "search", "--name", "Tolvenmark Clock"], env=env, capture_output=True,
                                text=True).stdout.split()
        check(window, "the clock's window")
        subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], env=env, timeout=20)
        for _ in range(5):  # About, Minimize, Help, Exit, then the switch
            subprocess.run(["xdotool", "key", "Tab"], env=env, timeout=20)

        def focused():
            switch.clear_cache()
            return switch.getState().contains(pyatspi.STATE_FOCUSED)

        wait_for("five Tabs reach the switch, focused on the bus", focused)
        subprocess.run(["xdotool", "key", "space"], env=env, timeout=20)
        wait_for("Space on the switch switches the alarm on", lambda: "alarm=on" in status())

    # A few ticks heard as a reader hears them, with a new pending alarm among
    # them: that is announced, and no label is renewed twice.
    heard = {}

    def on_name(event):
        if event.source.getRoleName() == "label":
            heard[event.source.getIndexInParent()] = heard.get(event.source.getIndexInParent(), 0) + 1

    def set_alarm():
        subprocess.run([clock, "--set-alarm", "2/2/2099", "8:00:00 AM", "Gym"], env=env, timeout=20)
        return False

    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    from gi.repository import GLib
    GLib.timeout_add(500, set_alarm)
    GLib.timeout_add(3500, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    check(len(heard) >= 2 and max(heard.values()) == 1, "the new alarm's two labels once each: " + repr(heard))
    check(("label", "2/2/2099 at 8:00:00 AM") in (spots() or {}), "the new alarm read")
finally:
    for proc in reversed(started):
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()

print("all passed" if not failures else f"{len(failures)} failed")
sys.exit(1 if failures else 0)
