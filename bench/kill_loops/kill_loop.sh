#!/usr/bin/env bash
# Kills a program that rewrites one file again and again (kill -9 at a random
# moment), starts again, and checks the file is exactly the old or the new
# version, no line lost, and no temporary file left once the start-up's
# cleanup has run. Then the real program is started on files with stale
# temporary files beside them, which it must remove. One summary line per kind.
#
#   bench/kill_loops/kill_loop.sh [TRIALS] [BUILD] [KIND...]
#
# Defaults: 1,000 trials, build/, every kind (config append rewrite storage).
set -euo pipefail
trials="${1:-1000}"
build="$(realpath "${2:-build}")"
shift $(( $# > 2 ? 2 : $# ))
kinds=("$@")
[[ ${#kinds[@]} -gt 0 ]] || kinds=(config append rewrite storage)
driver="$build/bench/kill_write_loop"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

now_ms() { date +%s%3N; }
failed=0

for kind in "${kinds[@]}"; do
    dir="$work/$kind"
    mkdir -p "$dir"
    "$driver" init "$kind" "$dir"
    # Kills are spread over the start and the first 30 writes.
    start=$(now_ms)
    "$driver" write "$kind" "$dir" 30 >/dev/null
    span=$(( $(now_ms) - start ))
    "$driver" check "$kind" "$dir" 30 >/dev/null

    old=0 new=0 wrong=0 temps=0 before=0 writes=0
    for ((trial = 1; trial <= trials; trial++)); do
        "$driver" write "$kind" "$dir" >"$work/progress" &
        pid=$!
        sleep "$(awk -v s="$span" -v r="$RANDOM" 'BEGIN { printf "%.3f", s * r / 32767 / 1000 }')"
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        last=$(tail -n 1 "$work/progress")
        last=${last:-0}
        [[ $last -eq 0 ]] && before=$((before + 1))
        writes=$((writes + last))
        if verdict=$("$driver" check "$kind" "$dir" "$last"); then
            read -r which left <<<"$verdict"
            [[ $which == old ]] && old=$((old + 1)) || new=$((new + 1))
            [[ $left -gt 0 ]] && temps=$((temps + 1))
        else
            wrong=$((wrong + 1))
            echo "$kind trial $trial: $verdict" >&2
        fi
    done
    echo "$kind: trials=$trials span_ms=$span writes_done=$writes killed_before_first_write=$before" \
         "old=$old new=$new temp_left_and_removed=$temps wrong=$wrong"
    [[ $wrong -eq 0 ]] || failed=1
done

# The real program's start-up removes what killed writes left, and only that.
cfg="$work/real"
mkdir -p "$cfg"
printf '[ALARM]\nAPPPATH=%s\nVERSION=1.1\nALFORMAT=123\nALDATESEP=/\n' "$cfg" >"$cfg/TOLVENMARKCLOCK.INI"
printf 'Alarm^1/5/2027^7:00:00 AM^\r\n' >"$cfg/Alarms.txt"
for name in TOLVENMARKCLOCK.INI TOLVENMARKCLOCK.INI.date-change Alarms.txt StorageBin.txt; do
    echo half >"$cfg/.$name.a1B2c3"
done
echo mine >"$cfg/.Alarms.txt.keep"
QT_QPA_PLATFORM=offscreen TOLVENMARK_PROMPTS=stderr TOLVENMARK_WINDIR="$cfg" XDG_RUNTIME_DIR="$cfg" \
    TOLVENMARK_SHORT_DATE=M/d/yyyy TOLVENMARK_DATE_SEP=/ \
    timeout -s TERM 4 "$build/tolvenmark-clock" >/dev/null 2>&1 || true
stale=$(find "$cfg" -name '.*.a1B2c3' | wc -l)
if [[ $stale -ne 0 || ! -e "$cfg/.Alarms.txt.keep" ]]; then
    echo "real program: $stale stale temporary files left, or another file removed" >&2
    failed=1
else
    echo "real program: 4 stale temporary files removed at start-up, other files kept"
fi
exit $failed
