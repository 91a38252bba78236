#!/usr/bin/python3
"""The clock's tray icon on a real StatusNotifierItem host (status-notifier-watcher and
gtk-sni-tray-standalone on a private bus and Xvfb): the item registers with the theme's icon name,
and the host's Activate brings the window back."""
import re, sys
from desktop_session import Session

clock, source = sys.argv[1], sys.argv[2]
s = Session(clock, ["status-notifier-watcher", "gtk-sni-tray-standalone", "gdbus", "dbus-daemon", "Xvfb", "xdotool"])
WATCHER = ["--dest", "org.kde.StatusNotifierWatcher", "--object-path", "/StatusNotifierWatcher"]

def gdbus(*args):
    out = s.run("gdbus", "call", "--session", *args)
    return out.stdout.strip() if out.returncode == 0 else ""

def watcher_property(name):
    return gdbus(*WATCHER, "--method", "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierWatcher", name)

def registered_items():
    return re.findall(r"'([^']+)'", watcher_property("RegisteredStatusNotifierItems"))

def clock_window():
    return s.run("xdotool", "search", "--onlyvisible", "--name", "^Tolvenmark Clock$").stdout.split()

try:
    s.xvfb()
    s.session_bus()
    s.env["XDG_DATA_DIRS"] = source + "/resources/desktop:/usr/share"  # the icon theme's tolvenmark-clock
    s.start(["status-notifier-watcher"])
    s.start(["gtk-sni-tray-standalone"])
    s.wait_for("a tray host on the bus", lambda: "true" in watcher_property("IsStatusNotifierHostRegistered"))
    s.config()
    s.env["QT_QPA_PLATFORM"] = "xcb"
    s.start([clock])
    window = s.wait_for("the clock's window", clock_window)
    s.check(not registered_items(), "no tray item while the window shows")
    if window:
        s.run("xdotool", "windowfocus", "--sync", window[0])
        s.run("xdotool", "key", "Escape")
    s.wait_for("Escape hides the window", lambda: not clock_window())
    items = s.wait_for("the item registers with the watcher",
                       registered_items)
    if items:
        service, _, path = items[0].partition("/")
        item = ["--dest", service, "--object-path", "/" + (path or "StatusNotifierItem")]
        icon = gdbus(*item, "--method", "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierItem", "IconName")
        s.check("'tolvenmark-clock'" in icon, "the item names the theme's icon: " + icon)
        gdbus(*item, "--method", "org.kde.StatusNotifierItem.Activate", "0", "0")
        s.wait_for("Activate brings the window back", clock_window)
        s.check("alarm=on" in s.ctl("--status").stdout, "--status answers after all")
finally:
    s.finish()
