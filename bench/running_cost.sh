#!/usr/bin/env bash
# Running cost of the clock against the Qt floor (bench/qt_floor), side by
# side under one Xvfb: CPU seconds per minute, peak resident memory and
# start-up to the first painted frame. Three interleaved rounds of 60 s.
# Usage: bench/running_cost.sh [build folder] [seconds per round]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
seconds="${2:-60}"
clock="$build/tolvenmark-clock"
floor="$build/bench/qt_floor"
for p in "$clock" "$floor"; do [ -x "$p" ] || { echo "missing $p (build with -DTOLVENMARK_BENCH=ON)" >&2; exit 1; }; done
command -v Xvfb >/dev/null || { echo "Xvfb is needed" >&2; exit 1; }

source bench/clock_under_xvfb.sh
export TOLVENMARK_REPORT_FIRST_FRAME=1

now_ns() { date +%s%N; }
# Nanoseconds on the CPU (schedstat), finer than the 10 ms ticks of stat.
cpu_ns() { awk '{print $1}' "/proc/$1/schedstat"; }
peak_kb() { awk '/^VmHWM:/ {print $2}' "/proc/$1/status"; }

# start NAME PROGRAM: runs it, sets pid_NAME and startup_ms_NAME.
start() {
  local name=$1 program=$2 t0 pid line
  # The previous round's report must not be read before the new run truncates it.
  rm -f "$work/$name.err"
  : >"$work/$name.err"
  t0=$(now_ns)
  "$program" 2>>"$work/$name.err" &
  pid=$!
  for _ in $(seq 200); do
    line=$(grep -m1 '^first-frame-ns ' "$work/$name.err" || true)
    [ -n "$line" ] && break
    sleep 0.05
  done
  [ -n "$line" ] || { echo "$name painted no frame" >&2; cat "$work/$name.err" >&2; exit 1; }
  printf -v "pid_$name" '%s' "$pid"
  printf -v "startup_ms_$name" '%s' "$(( (${line#first-frame-ns } - t0) / 1000000 ))"
}

declare -A cpu rss up
for round in 1 2 3; do
  # Interleaved: the order of starting swaps every round.
  if (( round % 2 )); then order=(floor clock); else order=(clock floor); fi
  for name in "${order[@]}"; do
    if [ "$name" = clock ]; then start clock "$clock"; else start floor "$floor"; fi
  done
  c0_clock=$(cpu_ns "$pid_clock"); c0_floor=$(cpu_ns "$pid_floor")
  sleep "$seconds"
  for name in clock floor; do
    pid_var="pid_$name"; c0_var="c0_$name"; up_var="startup_ms_$name"
    c1=$(cpu_ns "${!pid_var}")
    cpu[$name]+="$(awk -v d=$(( c1 - ${!c0_var} )) -v s="$seconds" 'BEGIN {printf "%.4f", d / 1e9 * 60 / s}') "
    rss[$name]+="$(peak_kb "${!pid_var}") "
    up[$name]+="${!up_var} "
    kill "${!pid_var}"
    wait "${!pid_var}" 2>/dev/null || true
  done
  rm -f "$work/run/tolvenmark-clock.socket"
  echo "round $round done" >&2
done

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
printf '%-6s %18s %16s %16s\n' program "CPU s per minute" "peak RSS (MiB)" "start-up (ms)"
for name in floor clock; do
  c=$(echo "${cpu[$name]}" | median)
  r=$(echo "${rss[$name]}" | median)
  u=$(echo "${up[$name]}" | median)
  printf '%-6s %18s %16.1f %16s\n' "$name" "$c" "$(awk -v k="$r" 'BEGIN {print k / 1024}')" "$u"
  eval "m_cpu_$name=$c m_rss_$name=$r m_up_$name=$u"
done
awk -v c1="$m_cpu_clock" -v c0="$m_cpu_floor" -v r1="$m_rss_clock" -v r0="$m_rss_floor" -v u1="$m_up_clock" -v u0="$m_up_floor" \
  'BEGIN {printf "ratio  cpu %.2f (goal <= 1.2)  memory %.2f (goal <= 1.3)  start-up %.2f (goal <= 2)\n",
          (c0 > 0 ? c1 / c0 : 0), r1 / r0, (u0 > 0 ? u1 / u0 : 0)}'
echo "rounds (clock): cpu ${cpu[clock]}| rss kB ${rss[clock]}| start-up ms ${up[clock]}"
echo "rounds (floor): cpu ${cpu[floor]}| rss kB ${rss[floor]}| start-up ms ${up[floor]}"
