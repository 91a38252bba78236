# Sourced by the running-cost scripts: a temporary folder ($work), an Xvfb of
# its own, and the clock's environment (built-in skin, an alarm switched on
# far ahead). Programs added to bench_pids are killed at exit.
work="$(mktemp -d)"
bench_pids=()
bench_cleanup() {
  local pid
  for pid in "${bench_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap bench_cleanup EXIT

display=":$(( 90 + RANDOM % 100 ))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
bench_pids+=($!)
sleep 1
export DISPLAY="$display" QT_QPA_PLATFORM=xcb

mkdir -p "$work/clock" "$work/run"
chmod 700 "$work/run"
printf '[ALARM]\nAPPPATH=%s\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\nSKIN=Default\nALSET=TRUE\nALHEADER=Wake up\nALDATE=1/1/2099\nALTIME=7:00:00 AM\n' \
  "$work/clock" > "$work/clock/TOLVENMARKCLOCK.INI"
export TOLVENMARK_WINDIR="$work/clock" XDG_RUNTIME_DIR="$work/run"
export TOLVENMARK_SHORT_DATE=M/d/yyyy TOLVENMARK_DATE_SEP=/ TOLVENMARK_SHORT_TIME="h:mm AMPM" \
       TOLVENMARK_LONG_TIME="h:mm:ss AMPM" TOLVENMARK_TIME_SEP=: TOLVENMARK_AM=AM TOLVENMARK_PM=PM
