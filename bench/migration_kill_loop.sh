#!/usr/bin/env bash
# Kills the real program at a random moment of a date-format migration of a
# large "Alarms.txt", starts it again until it runs normally, and checks that
# every date was converted exactly once. Prints one summary line.
#
#   bench/migration_kill_loop.sh [RUNS] [LINES] [PROGRAM]
#
# Defaults: 150 runs, 300,000 lines, build/tolvenmark-clock.
set -euo pipefail
runs="${1:-150}"
lines="${2:-300000}"
program="$(realpath "${3:-build/tolvenmark-clock}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Day-first dates with a full stop, to be converted to month-first with a slash.
python3 - "$lines" "$work" <<'PY'
import random, sys
n, work = int(sys.argv[1]), sys.argv[2]
rng = random.Random(7)
with open(work + "/before", "w", newline="") as before, open(work + "/after", "w", newline="") as after:
    for i in range(n):
        d, m, y = rng.randint(1, 28), rng.randint(1, 12), rng.randint(2003, 2030)
        before.write("Alarm %d^%02d.%02d.%d^7:%02d:00 AM^\r\n" % (i, d, m, y, i % 60))
        after.write("Alarm %d^%d/%d/%d^7:%02d:00 AM^\r\n" % (i, m, d, y, i % 60))
PY

# A socket of its own: a clock already running for this user would answer
# the start, and no migration would run.
export QT_QPA_PLATFORM=offscreen TOLVENMARK_PROMPTS=stderr TOLVENMARK_WINDIR="$work/cfg" XDG_RUNTIME_DIR="$work"
export TOLVENMARK_SHORT_DATE=M/d/yyyy TOLVENMARK_DATE_SEP=/
# Counts as started again already: each run ends after its migration instead
# of becoming the clock.
export TOLVENMARK_RESTARTED=1
mkdir -p "$work/cfg"

reset() {
    printf '[ALARM]\nAPPPATH=%s\nVERSION=1.1\nALFORMAT=213\nALDATESEP=.\nALDATE=05.01.2004\n' "$work/cfg" \
        > "$work/cfg/TOLVENMARKCLOCK.INI"
    cp "$work/before" "$work/cfg/Alarms.txt"
}

now_ms() { date +%s%3N; }

# One undisturbed migration gives the span the kills are spread over.
reset
start=$(now_ms)
"$program" 2>/dev/null
span=$(( $(now_ms) - start ))

corrupted=0 interrupted=0 restarts=0
for ((run = 1; run <= runs; run++)); do
    reset
    "$program" 2>/dev/null &
    pid=$!
    sleep "$(awk -v s="$span" -v r="$RANDOM" 'BEGIN { printf "%.3f", s * r / 32767 / 1000 }')"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [[ -e "$work/cfg/TOLVENMARKCLOCK.INI.date-change" ]] && interrupted=$((interrupted + 1))
    # Restart until a start shows no message box: the migration is done.
    for attempt in 1 2 3; do
        restarts=$((restarts + 1))
        # A start with nothing to migrate runs the clock: ended after 2 s.
        out=$(timeout -s TERM 2 "$program" 2>&1 >/dev/null || true)
        grep -qE '^(Error|Warning): ' <<<"$out" || break
    done
    if ! cmp -s "$work/after" "$work/cfg/Alarms.txt" ||
        ! grep -qx 'ALDATE=1/5/2004' "$work/cfg/TOLVENMARKCLOCK.INI" ||
        ! grep -qx 'ALFORMAT=123' "$work/cfg/TOLVENMARKCLOCK.INI" ||
        [[ -e "$work/cfg/TOLVENMARKCLOCK.INI.date-change" ]] ||
        compgen -G "$work/cfg/.*.??????" >/dev/null; then
        corrupted=$((corrupted + 1))
        echo "run $run: wrong result" >&2
    fi
done
echo "lines=$lines runs=$runs migration_ms=$span killed_mid_migration=$interrupted restarts=$restarts corrupted=$corrupted"
[[ $corrupted -eq 0 ]]
