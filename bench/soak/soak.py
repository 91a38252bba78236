#!/usr/bin/env python3
"""Soak of the real program under Xvfb: saved alarms 15 s apart, half played by a
recording player (MP3), half Text Messages answered by the unattended prompts,
while stress-ng loads the cores, the program is stopped with SIGSTOP three times
and its wall clock is jumped under libfaketime (+3 min, +20 min, -2 min).
Snooze is pressed through the command channel on the first MP3 ring of every
five rings, and its relaunches are checked.
Counts every alarm and prints a summary; the status is 1 on a fault.
With "hidden" the clock runs in the tray of a desktop (openbox and tint2),
put there by its Escape key, where its tick sleeps until something is due. A
clock set under libfaketime cancels no kernel timer, so each jump is announced
the way a wake from sleep is: logind's PrepareForSleep(false), from
python3-dbusmock's logind on a bus of its own.

    bench/soak/soak.py short|long [BUILD] [hidden]
"""
import os, random, re, shutil, signal, subprocess, sys, tempfile, time

mode = sys.argv[1] if len(sys.argv) > 1 else "short"
build = os.path.realpath(sys.argv[2] if len(sys.argv) > 2 else "build")
HIDDEN = len(sys.argv) > 3 and sys.argv[3] == "hidden"
LONG = mode == "long"
rng = random.Random(int(os.environ.get("SOAK_SEED", "14")))

# Real-time plan, in seconds after the start: regular alarms every 15 s, the
# three jumps halfway between two of them, the end.
LEAD = 20
# The short mode sets the clock back 30 s only, so that it passes the alarms
# that rang before the jump again within its 150 s.
J1, J2, J3 = (307.5, 727.5, 1207.5) if LONG else (42.5, 72.5, 102.5)
END = 1800 if LONG else 150
BACK = -120 if LONG else -30
STOP = 5
JUMPS = [(J1, 180), (J2, 1200), (J3, BACK)]

faketime_lib = next((p for p in ["/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
                                 "/usr/lib/aarch64-linux-gnu/faketime/libfaketime.so.1"] if os.path.exists(p)), None)
if not faketime_lib or not shutil.which("stress-ng"):
    sys.exit("libfaketime and stress-ng are needed (apt-get install faketime stress-ng)")

work = tempfile.mkdtemp(prefix="soak-")
cfg = work + "/cfg"
os.makedirs(cfg)
control = work + "/faketime"
rings_file = work + "/rings"
offset = 0.0


def set_offset(seconds):
    global offset
    offset = seconds
    with open(control + ".new", "w") as f:
        f.write("%+d\n" % seconds)
    os.rename(control + ".new", control)


set_offset(0)
recorder = work + "/record"
with open(recorder, "w") as f:
    # It plays on for a while, as a player does: a snooze stops only a player still playing.
    f.write('#!/bin/sh\necho "$1" >> %s\nexec sleep 12\n' % rings_file)
os.chmod(recorder, 0o755)
open(rings_file, "w").close()
media = work + "/wake.mp3"
open(media, "wb").write(b"ID3")
MESSAGE = "Soak message"

start = time.time() + 3  # the program is up by then


def fake(real):
    return real + offset


# The alarms, as instants of the program's clock (UTC).
alarms = []  # (instant, header, kind) kind: regular / jump3 / jump20
planned_offset = 0
k = 0
t = LEAD
while t < END - 10:
    off = sum(d for at, d in JUMPS if at < t)
    # After the clock was set back, no alarm before the latest one already planned.
    if alarms and start + t + off <= alarms[-1][0] + 10:
        t += 15
        continue
    alarms.append((int(start + t + off), "Soak %03d" % k, "regular"))
    k += 1
    t += 15
# Inside the +3 min jump: one every 45 s; inside the +20 min jump: one every 2.5 min.
for at, delta, step, kind in [(J1, 180, 45, "jump3"), (J2, 1200, 150, "jump20")]:
    base = start + at + sum(d for a, d in JUMPS if a < at)
    for s in range(step, delta, step):
        alarms.append((int(base + s), "Soak %03d" % k, kind))
        k += 1
alarms.sort()
if LONG:
    alarms = alarms[:120]


def date_text(instant):
    tm = time.gmtime(instant)
    return "%d/%d/%d" % (tm.tm_mon, tm.tm_mday, tm.tm_year)


def time_text(instant):
    tm = time.gmtime(instant)
    return "%d:%02d:%02d %s" % ((tm.tm_hour + 11) % 12 + 1, tm.tm_min, tm.tm_sec, "AM" if tm.tm_hour < 12 else "PM")


with open(cfg + "/Alarms.txt", "w", newline="") as f:
    for instant, header, _ in alarms:
        f.write("%s^%s^%s^\r\n" % (header, date_text(instant), time_text(instant)))


def write_config(kind_mp3):
    first = alarms[0]
    text = ("[ALARM]\r\nAPPPATH=%s\r\nVERSION=1.1\r\nALFORMAT=123\r\nALDATESEP=/\r\nSKIN=Default\r\n"
            "ALSET=TRUE\r\nALHEADER=%s\r\nALDATE=%s\r\nALTIME=%s\r\nCHANGEALARM=Yes\r\nDELETEALARM=Yes\r\n"
            "SNOOZE=Yes\r\nSNOOZEMIN=1\r\nICONNECT=Local Area Network (LAN)\r\nWAIT=60\r\nPLAYER=CUSTOM\r\n"
            "CUSTOM=%s\r\nMTYPE=MP3\r\nALFILE=%s\r\n") % (cfg, first[1], date_text(first[0]), time_text(first[0]),
                                                         recorder, media)
    open(cfg + "/TOLVENMARKCLOCK.INI", "w", newline="").write(text)


write_config(True)


def switch_kind(mp3):
    """Changes MTYPE and ALFILE as the settings dialog would, between two alarms."""
    path = cfg + "/TOLVENMARKCLOCK.INI"
    text = open(path, newline="").read()
    text = re.sub(r"MTYPE=[^\r\n]*", "MTYPE=" + ("MP3" if mp3 else "Text Message"), text)
    text = re.sub(r"ALFILE=[^\r\n]*", "ALFILE=" + (media if mp3 else MESSAGE), text)
    open(path + ".soak", "w", newline="").write(text)
    os.rename(path + ".soak", path)


env = dict(os.environ, TZ="UTC", TOLVENMARK_PROMPTS="stderr", TOLVENMARK_WINDIR=cfg, XDG_RUNTIME_DIR=work,
           TOLVENMARK_SHORT_DATE="M/d/yyyy", TOLVENMARK_DATE_SEP="/", TOLVENMARK_SHORT_TIME="h:mm:ss AMPM",
           TOLVENMARK_LONG_TIME="h:mm:ss AMPM", TOLVENMARK_AM="AM", TOLVENMARK_PM="PM", TOLVENMARK_TIME_SEP=":")
env.pop("QT_QPA_PLATFORM", None)
# Debian's python3 has dbus and dbusmock, whatever python3 runs the soak.
dbus_python = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable
logind_script = ("import dbus, sys\nlogin1 = dbus.bus.BusConnection(sys.argv[1]).get_object("
                 "'org.freedesktop.login1', '/org/freedesktop/login1')\nlogin1.%s")
if HIDDEN:
    for tool in ["openbox", "tint2", "xdotool", "xwininfo", "dbus-daemon"]:
        if not shutil.which(tool):
            sys.exit(tool + " is needed for the hidden soak (scripts/install-deps)")
    bus = subprocess.Popen(["dbus-daemon", "--session", "--print-address", "--nofork"], stdout=subprocess.PIPE,
                           text=True)
    bus_address = bus.stdout.readline().strip()
    logind = subprocess.Popen([dbus_python, "-m", "dbusmock", "--system", "--template", "logind"],
                              env=dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=bus_address),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        if subprocess.run([dbus_python, "-c", logind_script % "ListSessions(dbus_interface="
                           "'org.freedesktop.login1.Manager')", bus_address], capture_output=True).returncode == 0:
            break
        time.sleep(0.1)
    else:
        sys.exit("the mock logind did not start")
    env["DBUS_SYSTEM_BUS_ADDRESS"] = bus_address


def announce_clock_set():
    """What the kernel tells a clock whose wall clock was set, said as logind says a sleep and the
    wake after it (the clock takes a wake only after a sleep)."""
    if HIDDEN:
        emit = ("EmitSignal('org.freedesktop.login1.Manager', 'PrepareForSleep', 'b', [%s], "
                "dbus_interface='org.freedesktop.DBus.Mock')")
        subprocess.run([dbus_python, "-c", logind_script % (emit % "True") + "\nlogin1." + emit % "False",
                        bus_address], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# Only the clock runs on the faked wall clock; its timers keep the real one.
faked = ["env", "LD_PRELOAD=" + faketime_lib, "FAKETIME_TIMESTAMP_FILE=" + control, "FAKETIME_NO_CACHE=1",
         "DONT_FAKE_MONOTONIC=1"]
stress = subprocess.Popen(["stress-ng", "--cpu", "2", "--timeout", str(END + 10)],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          preexec_fn=lambda: os.nice(int(os.environ.get("SOAK_STRESS_NICE", "0"))))
err_path = work + "/stderr"
program = faked + [build + "/tolvenmark-clock"]
if HIDDEN:
    program = ["sh", "-c", 'openbox & tint2 >/dev/null 2>&1 & sleep 2; exec "$@"', "desktop"] + program
clock = subprocess.Popen(["xvfb-run", "-a", "-s", "-screen 0 1024x768x24"] + program,
                         env=env, stdout=subprocess.DEVNULL, stderr=open(err_path, "w"))
time.sleep(start - time.time())


def program_pid():
    for _ in range(50):
        out = subprocess.run(["pgrep", "-P", str(clock.pid)], capture_output=True, text=True).stdout.split()
        for child in out:
            for grandchild in [child] + subprocess.run(["pgrep", "-P", child], capture_output=True,
                                                       text=True).stdout.split():
                try:
                    if os.readlink("/proc/%s/exe" % grandchild).endswith("tolvenmark-clock"):
                        return int(grandchild)
                except OSError:
                    pass
        time.sleep(0.1)
    sys.exit("the clock did not start")


pid = program_pid()
hidden_ok = None
if HIDDEN:
    # Escape is the clock's MINIMIZE: to the tray, as a user puts it there.
    x_env = dict(line.split("=", 1) for line in open("/proc/%d/environ" % pid).read().split("\0") if "=" in line)
    x_env = dict(os.environ, DISPLAY=x_env.get("DISPLAY", ""), XAUTHORITY=x_env.get("XAUTHORITY", ""))
    found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(pid)], env=x_env,
                           capture_output=True, text=True, timeout=20).stdout.split()
    if found:
        subprocess.run(["xdotool", "windowactivate", "--sync", found[0], "key", "--window", found[0], "Escape"],
                       env=x_env, timeout=20)
        time.sleep(1)
        hidden_ok = "IsUnMapped" in subprocess.run(["xwininfo", "-id", found[0]], env=x_env, capture_output=True,
                                                   text=True).stdout
    if not hidden_ok:
        print("the clock did not go to the tray", file=sys.stderr)


def usage():
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    rss = int(re.search(r"VmRSS:\s+(\d+)", open("/proc/%d/status" % pid).read()).group(1))
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK"), rss


# Three stops at random moments, clear of the jumps and of each other.
stops = []
while len(stops) < 3:
    s = rng.uniform(LEAD, END - 20)
    if all(abs(s - at) > STOP + 3 for at, _ in JUMPS) and all(abs(s - o) > STOP + 3 for o in stops):
        stops.append(s)
stops.sort()
events = sorted([(s, "stop") for s in stops] + [(at, "jump", d) for at, d in JUMPS])
stop_windows = []  # real times the program was stopped
jump_windows = []  # program-clock intervals jumped over
rings = []  # (program-clock time, header, kind)
seen_rings = 0
seen_err = 0
awaiting = []  # headers found due and not yet heard, oldest first
heard_at = []  # (real time, kind) of the rings of alarms found due
SNOOZE_MIN = 1
snoozes = []  # [real time pressed, header, status, relaunch rings [(real time, kind)]]
snooze_next_mp3 = False
missed_reports = []  # the numbers of alarms each "Missed alarm" notification names
regular = [a for a in alarms if a[2] == "regular"]
next_switch = 0
usage_start = None
mp3_next = True
client_env = dict(env, QT_QPA_PLATFORM="offscreen")


def heard(kind):
    """One ring: the oldest alarm found due and not yet heard, else a snoozed relaunch."""
    global snooze_next_mp3
    if not awaiting:
        waiting = [sn for sn in snoozes if time.time() >= sn[0] + SNOOZE_MIN * 60 - 1]
        if waiting:
            waiting[-1][3].append((time.time(), kind))
        else:
            rings.append((fake(time.time()), None, kind))
        return
    header = awaiting.pop(0)
    rings.append((fake(time.time()), header, kind))
    heard_at.append((time.time(), kind))
    if sum(1 for r in rings if r[1]) % 5 == 1:
        snooze_next_mp3 = True
    if kind == "MP3" and snooze_next_mp3:
        snooze_next_mp3 = False
        pressed = time.time()
        status = subprocess.run([build + "/tolvenmark-clock", "--snooze"], env=client_env, timeout=20,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
        snoozes.append([pressed, header, status, []])


while time.time() < start + END:
    now = time.time() - start
    if usage_start is None and now > LEAD - 5:
        usage_start = (time.time(), *usage())
    while events and events[0][0] <= now:
        ev = events.pop(0)
        if ev[1] == "stop":
            os.kill(pid, signal.SIGSTOP)
            stop_windows.append((time.time(), time.time() + STOP))
            time.sleep(STOP)
            os.kill(pid, signal.SIGCONT)
        else:
            before = fake(time.time())
            set_offset(offset + ev[2])
            announce_clock_set()
            if ev[2] > 0:
                jump_windows.append((before, before + ev[2]))
    # Standard error first: an alarm is found due a second before it is heard.
    with open(err_path, errors="replace") as f:
        err_lines = f.read().splitlines()
    for line in err_lines[seen_err:]:
        m = re.match(r"Alarm due: (.*) \(", line)
        if m:
            awaiting.append(m.group(1))
        elif line.endswith(": " + MESSAGE):
            heard("Text Message")
        m = re.match(r"Notification: Missed alarm: .*?( and (\d+) more)?$", line)
        if m:
            missed_reports.append(1 + int(m.group(2) or 0))
    seen_err = len(err_lines)
    with open(rings_file) as f:
        lines = f.read().splitlines()
    for _ in lines[seen_rings:]:
        heard("MP3")
    seen_rings = len(lines)
    # Between two regular alarms, the next one's kind (every other one a message).
    # While a snooze waits, messages only: a media launch would end the snooze.
    snooze_waits = any(not sn[3] and time.time() < sn[0] + SNOOZE_MIN * 60 + 3 for sn in snoozes)
    while next_switch < len(regular) and regular[next_switch][0] - 7 <= fake(time.time()):
        last_ring = rings[-1][0] if rings else 0
        if fake(time.time()) - last_ring > 3 and regular[next_switch][0] - fake(time.time()) > 3:
            switch_kind(mp3_next and not snooze_waits)
        mp3_next = not mp3_next
        next_switch += 1
    time.sleep(0.05)

usage_end = (time.time(), *usage())
os.kill(pid, signal.SIGTERM)
stress.terminate()
clock.wait(timeout=10)
stress.wait(timeout=10)
if HIDDEN:
    for p in (logind, bus):
        p.terminate()
        p.wait(timeout=10)


def stopped_during(instant):
    # An alarm due while the program was stopped, or in the second after.
    for a, b in stop_windows:
        if fake_at(a) - 2 <= instant <= fake_at(b) + 1:
            return True
    return False


def fake_at(real):
    off = sum(d for at, d in JUMPS if start + at <= real)
    return real + off


counts = dict(on_time=0, late_caught_up=0, missed_by_design=0, missed_by_fault=0, rung_twice=0, rung_early=0,
              late_unexplained=0, rung_after_skip=0)
worst = 0.0
by_header = {}
for when, header, kind in rings:
    by_header.setdefault(header, []).append((when, kind))
ended = fake(time.time())
for instant, header, kind in alarms:
    got = by_header.get(header, [])
    in_jump = any(a <= instant <= b for a, b in jump_windows)
    if os.environ.get("SOAK_VERBOSE"):
        print("%s %-7s due %+7.1f s rings %s" % (header, kind, instant - start,
              " ".join("%+.2f (%s)" % (w - instant, k) for w, k in got)), file=sys.stderr)
    if len(got) > 1:
        counts["rung_twice"] += 1
    # A jump that leaves the pending alarm more than the catch-up window behind
    # skips everything it passed over; a shorter one catches each up.
    if kind == "jump20":
        counts["rung_after_skip" if got else "missed_by_design"] += 1
        continue
    if not got:
        if instant > ended - 3:
            continue  # not due yet
        counts["missed_by_fault"] += 1
        print("missed: %s at %s" % (header, time_text(instant)), file=sys.stderr)
        continue
    late = got[0][0] - instant
    if late < -0.5:
        counts["rung_early"] += 1  # or a ring of another alarm taken for this one
    elif late <= 1.2:
        counts["on_time"] += 1
        worst = max(worst, late)
    elif in_jump or stopped_during(instant):
        counts["late_caught_up"] += 1
    else:
        counts["late_unexplained"] += 1
        print("late: %s by %.2f s" % (header, late), file=sys.stderr)
reported_missed = sum(missed_reports)
skipped = sum(1 for a in alarms if a[2] == "jump20")
# Snoozes: the relaunch comes SNOOZEMIN minutes and the one-second launch delay after
# the press, and again every SNOOZEMIN minutes until a media launch (a later media
# alarm's or its own) ends the snooze; while it waits the soak sets messages only.
snooze_counts = dict(pressed=len(snoozes), refused=0, relaunched_on_time=0, relaunched_late=0,
                     repeats=0, ended_by_a_media_alarm=0, relaunch_missing=0, relaunch_after_end=0)


def stopped_between(a, b):
    return any(x <= b and y >= a for x, y in stop_windows)


for pressed, header, status, relaunches in snoozes:
    due = pressed + SNOOZE_MIN * 60 + 1
    media = [t for t, kind in heard_at + relaunches if kind == "MP3" and t > pressed]
    ended = min(media) if media else None
    if status != 0:
        snooze_counts["refused"] += 1
        continue
    if not relaunches:
        if ended is not None and ended < due:
            snooze_counts["ended_by_a_media_alarm"] += 1
        elif due + 3 < time.time():
            snooze_counts["relaunch_missing"] += 1
            print("no relaunch after the snooze of %s" % header, file=sys.stderr)
        continue
    first = relaunches[0][0]
    if abs(first - due) <= 1.5:
        snooze_counts["relaunched_on_time"] += 1
    elif first > due and stopped_between(pressed, first):
        snooze_counts["relaunched_late"] += 1
    else:
        snooze_counts["relaunch_missing"] += 1
        print("relaunch of %s %+.2f s from its time" % (header, first - due), file=sys.stderr)
    for (before, _), (t, _) in zip(relaunches, relaunches[1:]):
        if ended is not None and t > ended + 1:
            snooze_counts["relaunch_after_end"] += 1
            print("relaunch of %s after a media launch ended its snooze" % header, file=sys.stderr)
        elif abs(t - before - SNOOZE_MIN * 60) <= 1.5 or stopped_between(before, t):
            snooze_counts["repeats"] += 1
        else:
            snooze_counts["relaunch_missing"] += 1
            print("repeat of %s %.2f s after the one before" % (header, t - before), file=sys.stderr)
unknown = [r for r in rings if r[1] is None]
kinds = {}
for _, _, kind in rings:
    kinds[kind] = kinds.get(kind, 0) + 1
cpu = lambda a, b: (b[1] - a[1]) / (b[0] - a[0]) * 60
print("soak %s%s: %d alarms, %d rings (%s), stops at %s s" % (
    mode, " hidden in the tray" if HIDDEN else "", len(alarms), len(rings), ", ".join("%s %d" % kv for kv in sorted(kinds.items())),
    ", ".join("%.0f" % s for s in stops)))
print(" ".join("%s=%d" % kv for kv in counts.items()), "unattributed_rings=%d" % len(unknown),
      "latest_on_time_ring=%.2fs" % worst)
print("resident memory %d KiB at the start, %d KiB at the end (growth %+d KiB); CPU time %.2f s in all" % (
    usage_start[2], usage_end[2], usage_end[2] - usage_start[2], usage_end[1]))
print("snoozes:", " ".join("%s=%d" % kv for kv in snooze_counts.items()))
print("reported missed by the clock: %d of the %d alarms the long jump passed over" % (reported_missed, skipped))
failed = (counts["missed_by_fault"] or counts["rung_twice"] or counts["rung_early"] or counts["rung_after_skip"]
          or unknown or snooze_counts["refused"] or snooze_counts["relaunch_missing"]
          or snooze_counts["relaunch_after_end"] or not snoozes or reported_missed != skipped
          or (HIDDEN and not hidden_ok))
if failed:
    print("kept for a look: " + work, file=sys.stderr)
else:
    shutil.rmtree(work, ignore_errors=True)
sys.exit(1 if failed else 0)
