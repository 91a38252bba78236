#!/usr/bin/env python3
# Peak memory of the clock under the two command-channel attacks: 50 MB of requests
# never read (flood), 166 idle connections at ulimit -n 128 (idle).
# usage: bench/channel_attacks.py CLOCK flood|idle
import os, socket, subprocess, sys, tempfile, time, resource
clock, attack = sys.argv[1], sys.argv[2]
d = tempfile.mkdtemp()
open(f"{d}/TOLVENMARKCLOCK.INI", "w").write(f"[ALARM]\nAPPPATH={d}\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nSKIN=Default\nALSET=TRUE\nALHEADER=Wake\nALDATE=1/1/2099\nALTIME=7:00:00 AM\n")
env = dict(os.environ, QT_QPA_PLATFORM="offscreen", TOLVENMARK_PROMPTS="stderr", TOLVENMARK_WINDIR=d, XDG_RUNTIME_DIR=d,
           TOLVENMARK_SHORT_DATE="M/d/yyyy", TOLVENMARK_DATE_SEP="/")
def limit():
    if attack == "idle": resource.setrlimit(resource.RLIMIT_NOFILE, (128, 128))
p = subprocess.Popen([clock], env=env, stderr=open(f"{d}/err", "w"), preexec_fn=limit)
path = f"{d}/tolvenmark-clock.socket"
for _ in range(200):
    if os.path.exists(path): break
    time.sleep(0.1)
time.sleep(1)
def hwm():
    for l in open(f"/proc/{p.pid}/status"):
        if l.startswith("VmHWM"): return int(l.split()[1])
before = hwm()
outcome = ""
if attack == "flood":
    s = socket.socket(socket.AF_UNIX); s.connect(path); s.settimeout(10)
    chunk = b"STATUS\n" * 4096; sent = 0
    try:
        while sent < 50 * 1024 * 1024:
            sent += s.send(chunk)
        outcome = f"all {sent>>20} MB taken"
    except (BrokenPipeError, ConnectionResetError) as e:
        outcome = f"closed after {sent>>10} KB sent"
    except socket.timeout:
        outcome = f"client blocked after {sent>>10} KB"
    time.sleep(3)
else:
    socks = []
    for i in range(166):
        try:
            s = socket.socket(socket.AF_UNIX); s.connect(path); socks.append(s)
        except OSError as e:
            outcome += f"connect {i}: {e}; "; break
    time.sleep(3)
alive = p.poll() is None
peak = hwm() if alive else "?"
st = subprocess.run([clock, "--status"], env=env, capture_output=True, timeout=30)
second = subprocess.run(["timeout", "8", clock], env=env, capture_output=True)
print(f"{attack}: {outcome} alive={alive} socket={os.path.exists(path)} status_exit={st.returncode} "
      f"second_start_exit={second.returncode} peak={peak} KiB (at start {before} KiB)")
print(open(f"{d}/err").read()[-600:])
p.kill()
