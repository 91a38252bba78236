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

work="$(mktemp -d)"
xvfb_pid=""
clock_pid=""
cleanup() {
  [ -n "$clock_pid" ] && kill "$clock_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

display=":$(( 90 + RANDOM % 100 ))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
sleep 1
export DISPLAY="$display" QT_QPA_PLATFORM=xcb
mkdir -p "$work/clock" "$work/run"
chmod 700 "$work/run"
printf '[ALARM]\nAPPPATH=%s\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nSKIN=Default\nALSET=TRUE\nALHEADER=Wake up\nALDATE=1/1/2099\nALTIME=7:00:00 AM\n' \
  "$work/clock" > "$work/clock/TOLVENMARKCLOCK.INI"
export TOLVENMARK_WINDIR="$work/clock" XDG_RUNTIME_DIR="$work/run"
export TOLVENMARK_SHORT_DATE=M/d/yyyy TOLVENMARK_DATE_SEP=/ TOLVENMARK_SHORT_TIME="h:mm AMPM" \
       TOLVENMARK_LONG_TIME="h:mm:ss AMPM" TOLVENMARK_TIME_SEP=: TOLVENMARK_AM=AM TOLVENMARK_PM=PM

valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$work/cg.out" \
  "$clock" >"$work/clock.log" 2>&1 &
clock_pid=$!
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
