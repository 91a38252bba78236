#!/usr/bin/python3
"""The clock's tray icon on a real StatusNotifierItem host (status-notifier-watcher and
gtk-sni-tray-standalone on a private bus and Xvfb): the item registers with the theme's icon name,
and the host's Activate brings the window back."""
import os, re, sys
from desktop_session import Session

clock, source = sys.argv[1], os.path.abspath(sys.argv[2])
s = Session(clock, ["status-notifier-watcher", "gtk-sni-tray-standalone", "gdbus", "dbus-daemon", "Xvfb", "xdotool"])

def call(dest, path, method, *args):
    return s.run("gdbus", "call", "--session", "--dest", dest, "--object-path", path, "--method", method, *args).stdout

def watcher(name):
    return call("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties.Get",
                "org.kde.StatusNotifierWatcher", name)

def items():
    return re.findall(r"'([^']+)'", watcher("RegisteredStatusNotifierItems"))

def window():
    return s.run("xdotool", "search", "--onlyvisible", "--name", "^Tolvenmark Clock$").stdout.split()

try:
    s.xvfb()
    s.env.update(DBUS_SESSION_BUS_ADDRESS=s.server_line(["dbus-daemon", "--session", "--nofork", "--print-address=FD"]),
                 XDG_DATA_DIRS=source + "/resources/desktop:/usr/share", QT_QPA_PLATFORM="xcb")
    s.start(["status-notifier-watcher"])
    s.start(["gtk-sni-tray-standalone"])
    s.wait_for("a tray host on the bus", lambda: "true" in watcher("IsStatusNotifierHostRegistered"))
    s.start([clock])
    shown = s.wait_for("the clock's window", window) or ["0"]
    s.check(not items(), "no tray item while the window shows")
    s.run("xdotool", "windowfocus", "--sync", shown[0], "key", "Escape")
    s.wait_for("Escape hides the window", lambda: not window())
    if registered := s.wait_for("the item registers with the watcher", items):
        service, _, path = registered[0].partition("/")
        item = (service, "/" + (path or "StatusNotifierItem"))
        icon = call(*item, "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierItem", "IconName")
        s.check("'tolvenmark-clock'" in icon, "the item names the theme's icon: " + icon)
        call(*item, "org.kde.StatusNotifierItem.Activate", "0", "0")
        s.wait_for("Activate brings the window back", window)
finally:
    s.finish()
