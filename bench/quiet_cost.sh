#!/usr/bin/env bash
# Quiet and small, side by side with the Qt floor (bench/qt_floor) on one Xvfb
# with a window manager (openbox) and a tray (tint2): wake-ups per minute shown
# and, for the clock, hidden in the tray; CPU while shown; resident and private
# memory; start-up to the first frame. Writes the figures, with the goals, into
# docs/PERFORMANCE.md between its quiet-bench markers.
# Usage: [starts=N] bench/quiet_cost.sh [build folder] [seconds shown] [rounds] [seconds hidden]
# A wake-up is a voluntary context switch of any of the program's threads.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
seconds="${2:-20}"
rounds="${3:-3}"
hidden_seconds="${4:-60}"
clock="$build/tolvenmark-clock"
floor="$build/bench/qt_floor"
for p in "$clock" "$floor"; do [ -x "$p" ] || { echo "missing $p (build with -DTOLVENMARK_BENCH=ON)" >&2; exit 1; }; done
for t in Xvfb openbox tint2 xdotool; do
  command -v "$t" >/dev/null || { echo "$t is needed (scripts/install-deps)" >&2; exit 1; }
done

# A freshly linked program's pages count as private dirty until written back.
sync
source bench/clock_under_xvfb.sh
export TOLVENMARK_REPORT_FIRST_FRAME=1 TOLVENMARK_WAKE_HELPER=
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
openbox >/dev/null 2>&1 &
bench_pids+=($!)
tint2 >/dev/null 2>&1 &
bench_pids+=($!)
sleep 2

now_ns() { date +%s%N; }
cpu_ns() { awk '{print $1}' "/proc/$1/schedstat"; }
# Voluntary context switches of each thread of the process, "tid count" lines.
switches() {
  local t
  for t in /proc/"$1"/task/*; do
    echo "${t##*/} $(awk '/^voluntary_ctxt_switches/ {print $2}' "$t/status" 2>/dev/null || echo 0)"
  done
}
# Between two of those: what each thread present at the end added (a thread
# of the toolkit's pool that ended meanwhile takes its count with it).
wakes_between() { awk 'NR == FNR {a[$1] = $2; next} {s += $2 - ($1 in a ? a[$1] : 0)} END {print s + 0}' "$1" "$2"; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
private_kb() { awk '/^Private_Dirty:/ {print $2}' "/proc/$1/smaps_rollup"; }

# start NAME PROGRAM: runs it, sets pid_NAME and up_NAME (ms to the first frame).
start() {
  local name=$1 program=$2 t0 pid line
  rm -f "$work/$name.err"
  : >"$work/$name.err"
  t0=$(now_ns)
  "$program" 2>>"$work/$name.err" &
  pid=$!
  bench_pids+=("$pid")
  for _ in $(seq 200); do
    line=$(grep -m1 '^first-frame-ns ' "$work/$name.err" || true)
    [ -n "$line" ] && break
    sleep 0.05
  done
  [ -n "$line" ] || { echo "$name painted no frame" >&2; cat "$work/$name.err" >&2; exit 1; }
  printf -v "pid_$name" '%s' "$pid"
  printf -v "up_$name" '%s' "$(( (${line#first-frame-ns } - t0) / 1000000 ))"
}

# over PID [SECONDS]: wake-ups per minute and CPU ms per minute.
over() {
  local seconds=${2:-$seconds}
  local c0 c1
  switches "$1" >"$work/w0"; c0=$(cpu_ns "$1")
  sleep "$seconds"
  switches "$1" >"$work/w1"; c1=$(cpu_ns "$1")
  echo "$(( $(wakes_between "$work/w0" "$work/w1") * 60 / seconds )) $(( (c1 - c0) * 60 / seconds / 1000000 ))"
}

declare -A fig
add() { fig[$1]+="$2 "; }
# Start-up alone, a few times each, alternating: one start now and then
# takes hundreds of milliseconds (either program), which two rounds' median
# would not outvote.
for _ in $(seq "${starts:-5}"); do
  for name in clock floor; do
    if [ "$name" = clock ]; then start clock "$clock"; else start floor "$floor"; fi
    up_var="up_$name"; pid_var="pid_$name"
    add "up_$name" "${!up_var}"
    kill "${!pid_var}"; wait "${!pid_var}" 2>/dev/null || true
    rm -f "$work/run/tolvenmark-clock.socket"
  done
done
for round in $(seq "$rounds"); do
  if (( round % 2 )); then order=(floor clock); else order=(clock floor); fi
  for name in "${order[@]}"; do
    if [ "$name" = clock ]; then start clock "$clock"; else start floor "$floor"; fi
  done
  # The clock is the active window, as when someone looks at it (inactive it
  # shows its grey face, composed once more).
  window=$(xdotool search --onlyvisible --pid "$pid_clock" 2>/dev/null | head -1)
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  sleep 3  # past the start-up's own work
  read -r w c < <(over "$pid_clock"); add shown_clock "$w"; add cpu_clock "$c"
  read -r w c < <(over "$pid_floor"); add shown_floor "$w"; add cpu_floor "$c"
  for name in clock floor; do
    pid_var="pid_$name"
    add rss_$name "$(rss_kb "${!pid_var}")"
    add private_$name "$(private_kb "${!pid_var}")"
  done
  # Hidden: Escape is the clock's MINIMIZE, which puts it in the tray.
  xdotool windowactivate --sync "$window" key --window "$window" Escape
  sleep 2
  xwininfo -id "$window" | grep -q IsUnMapped || echo "round $round: the clock did not go to the tray" >&2
  read -r w c < <(over "$pid_clock" "$hidden_seconds"); add hidden_clock "$w"
  for name in clock floor; do pid_var="pid_$name"; kill "${!pid_var}"; wait "${!pid_var}" 2>/dev/null || true; done
  rm -f "$work/run/tolvenmark-clock.socket"
  echo "round $round done" >&2
done

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{a[NR]=$1} END {print (NR % 2 ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2)}'; }
m() { echo "${fig[$1]}" | median; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf (b > 0 ? "%.2f×" : "—"), a / b}'; }
mib() { awk -v k="$1" 'BEGIN {printf "%.1f MiB", k / 1024}'; }
table=$(cat <<EOF
| figure | clock | floor | clock against the floor | goal |
|---|---|---|---|---|
| wake-ups per minute, hidden in the tray, alarm set for 2099 | $(m hidden_clock) | — | — | at most 3 |
| wake-ups per minute, shown | $(m shown_clock) | $(m shown_floor) | $(ratio "$(m shown_clock)" "$(m shown_floor)") | no more than before (244–269) |
| CPU ms per minute, shown | $(m cpu_clock) | $(m cpu_floor) | $(ratio "$(m cpu_clock)" "$(m cpu_floor)") | ≤ 0.5× |
| resident memory (VmRSS) | $(mib "$(m rss_clock)") | $(mib "$(m rss_floor)") | $(ratio "$(m rss_clock)" "$(m rss_floor)") | ≤ 1.1× |
| private memory (Private_Dirty) | $(mib "$(m private_clock)") | $(mib "$(m private_floor)") | $(ratio "$(m private_clock)" "$(m private_floor)") | ≤ 1.25× |
| start-up to the first frame | $(m up_clock) ms | $(m up_floor) ms | $(ratio "$(m up_clock)" "$(m up_floor)") | ≤ 1.2× |

Medians of $rounds rounds, ${seconds} s shown and ${hidden_seconds} s hidden each, and of ${starts:-5} start-ups of each (\`bench/quiet_cost.sh $build $seconds $rounds $hidden_seconds\`), $(date -u +%Y-%m-%d), load average $(cut -d' ' -f1 /proc/loadavg) at the end.
Rounds: hidden wake-ups ${fig[hidden_clock]}; shown ${fig[shown_clock]}(floor ${fig[shown_floor]}); CPU ms ${fig[cpu_clock]}(floor ${fig[cpu_floor]}); resident kB ${fig[rss_clock]}(floor ${fig[rss_floor]}); private kB ${fig[private_clock]}(floor ${fig[private_floor]}); start-ups ms ${fig[up_clock]}(floor ${fig[up_floor]}).
EOF
)
echo "$table"
doc=docs/PERFORMANCE.md
if grep -q '<!-- quiet-bench:begin -->' "$doc"; then
  TABLE="$table" python3 - "$doc" <<'PY'
import os, re, sys
path = sys.argv[1]
text = open(path).read()
text = re.sub(r"(<!-- quiet-bench:begin -->\n).*?(<!-- quiet-bench:end -->)",
              lambda m: m.group(1) + os.environ["TABLE"] + "\n" + m.group(2), text, flags=re.S)
open(path, "w").write(text)
PY
fi
