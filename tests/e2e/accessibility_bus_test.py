#!/usr/bin/python3
"""The clock as a screen reader meets it: on Xvfb, through the accessibility bus and by keys."""
import os, shutil, subprocess, sys, tempfile, time

clock, failures, started = sys.argv[1], [], []
home = tempfile.mkdtemp()  # the clock's runtime folder too, so private

def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)

def server_line(args):
    r, w = os.pipe()
    started.append(subprocess.Popen([a.replace("FD", str(w)) for a in args], pass_fds=(w,)))
    os.close(w)
    with os.fdopen(r) as pipe:
        return pipe.readline().strip()

def wait_for(what, test):
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        if result := test():
            return result
        time.sleep(0.2)
    check(False, what)

env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_DATA_HOME=home + "/data",
           XDG_CACHE_HOME=home + "/cache", XDG_RUNTIME_DIR=home, TOLVENMARK_WINDIR=home,
           TOLVENMARK_SHORT_DATE="M/d/yyyy", TOLVENMARK_DATE_SEP="/", TOLVENMARK_SHORT_TIME="h:mm AMPM",
           TOLVENMARK_LONG_TIME="h:mm:ss AMPM", TOLVENMARK_TIME_SEP=":", TOLVENMARK_AM="AM", TOLVENMARK_PM="PM",
           TOLVENMARK_PROMPTS="stderr", QT_QPA_PLATFORM="xcb",
           # Qt joins the bus only when told a reader is there; a test has none.
           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
with open(home + "/TOLVENMARKCLOCK.INI", "w") as ini:
    ini.write(f"[ALARM]\nAPPPATH={home}\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nSKIN=Default\nALSET=TRUE\n"
              "ALHEADER=Wake\nALDATE=1/1/2099\nALTIME=7:00:00 AM\n")

def run(*args):
    return subprocess.run(list(args), env=env, capture_output=True, text=True, timeout=20)

def status():
    out = run(clock, "--status")
    return out.stdout if out.returncode == 0 else ""

try:
    env["DISPLAY"] = ":" + server_line(["Xvfb", "-displayfd", "FD", "-screen", "0", "800x600x24", "-nolisten", "tcp"])
    env["DBUS_SESSION_BUS_ADDRESS"] = server_line(["dbus-daemon", "--session", "--nofork", "--print-address=FD"])
    os.environ.update(env)
    started.append(subprocess.Popen([clock], env=env, stderr=subprocess.DEVNULL))
    wait_for("the clock answers", status)
    import pyatspi  # only now that the bus exists
    from gi.repository import GLib

    def spots():
        found = {}
        for app in filter(None, pyatspi.Registry.getDesktop(0)):
            for obj in pyatspi.utils.findAllDescendants(app, lambda o: o.getRoleName() in ("push button", "check box", "label")):
                obj.clear_cache()
                found[(obj.getRoleName(), obj.name)] = obj
        return found if ("push button", "Snooze") in found else None

    found = wait_for("a Snooze button on the bus", spots) or {}
    switch = found.get(("check box", "Alarm On/Off"))  # a reader tells a check box's state
    check(("label", "1/1/2099 at 7:00:00 AM") in found and ("label", "Wake") in found,
          "the pending alarm's texts: " + repr(sorted(n for r, n in found if r == "label")))
    check(switch and switch.getState().contains(pyatspi.STATE_CHECKED) and "alarm=on" in status(),
          "an Alarm On/Off check box, checked")
    if switch:
        switch.queryAction().doAction(0)
        wait_for("pressing the switch on the bus switches the alarm off", lambda: "alarm=off" in status())
        window = run("xdotool", "search", "--name", "Tolvenmark Clock").stdout.split()[0]
        run("xdotool", "windowfocus", "--sync", window)
        run("xdotool", "key", "Tab", "Tab", "Tab", "Tab", "Tab")  # About, Minimize, Help, Exit, the switch
        wait_for("five Tabs reach the switch, focused on the bus",
                 lambda: switch.clear_cache() or switch.getState().contains(pyatspi.STATE_FOCUSED))
        run("xdotool", "key", "space")
        wait_for("Space on the switch switches the alarm on", lambda: "alarm=on" in status())

    # A few ticks heard as a reader hears them, with a new pending alarm among
    # them: that is announced, and no label is renewed twice.
    heard = {}

    def on_name(event):
        if event.source.getRoleName() == "label":
            heard[event.source.getIndexInParent()] = heard.get(event.source.getIndexInParent(), 0) + 1

    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    GLib.timeout_add(500, lambda: run(clock, "--set-alarm", "2/2/2099", "8:00:00 AM", "Gym") and False)
    GLib.timeout_add(3500, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    check(len(heard) >= 2 and max(heard.values()) == 1, "the new alarm's two labels once each: " + repr(heard))
    check(("label", "2/2/2099 at 8:00:00 AM") in (spots() or {}), "the new alarm read")
finally:
    for proc in reversed(started):
        proc.terminate()
        proc.wait(10)
    shutil.rmtree(home)

print("all passed" if not failures else f"{len(failures)} failed")
sys.exit(1 if failures else 0)
