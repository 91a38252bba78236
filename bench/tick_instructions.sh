#!/usr/bin/env bash
# Instructions the running clock spends per second of ticking, counted by
# callgrind, which gives the same figure however loaded the machine is.
# Collection starts after the start-up and covers the given seconds.
# Usage: bench/tick_instructions.sh [program] [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
clock="${1:-build/tolvenmark-clock}"
seconds="${2:-20}"
command -v valgrind >/dev/null && command -v Xvfb >/dev/null || { echo "valgrind and Xvfb are needed" >&2; exit 1; }

source bench/clock_under_xvfb.sh

valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$work/cg.out" \
  "$clock" >"$work/clock.log" 2>&1 &
clock_pid=$!
bench_pids+=("$clock_pid")
sleep 10  # start-up under valgrind is slow
callgrind_control -i on "$clock_pid" >/dev/null 2>&1
sleep "$seconds"
callgrind_control -i off "$clock_pid" >/dev/null 2>&1
callgrind_control -d "$clock_pid" >/dev/null 2>&1
sleep 1
out=$(ls "$work"/cg.out* | tail -1)
total=$(callgrind_annotate "$out" 2>/dev/null | awk '/PROGRAM TOTALS/ && !t {gsub(",", "", $1); t = $1} END {print t}')
echo "instructions per second of ticking: $(( total / seconds )) (total $total over $seconds s)"
if [ -n "${TOP:-}" ]; then callgrind_annotate --inclusive=yes "$out" 2>/dev/null | head -n "$(( TOP + 25 ))" || true; fi
