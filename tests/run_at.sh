#!/usr/bin/env bash
# Runs tests as if the machine's clock read a given local time, to prove no
# test depends on the hour it runs: by default the clock and end-to-end tests,
# once from 23:30 and once from 23:59:30 (so they cross midnight).
#   tests/run_at.sh [START ...]     START as date(1) reads it, e.g. "2026-12-08 23:30:00"
# BUILD_DIR (default build), LABELS (a ctest -L pattern, default the clock
# and e2e folders) and TESTS (a ctest -R pattern) choose what runs.
#
# libfaketime shifts the wall clock of every process of the run (the test
# programs, the clock they start, its players and wake helper) by the same
# offset, so it starts at START and runs on, the same for parent and child.
# Its "@START" form would restart the time in every new process. The
# monotonic clocks are shifted too, which libfaketime undoes for the waits it
# passes to the kernel; FAKETIME_DONT_FAKE_MONOTONIC=1 would keep them real,
# but then libfaketime 0.9.10 fails every monotonic clock_nanosleep with EINVAL
# (Python's time.sleep, so the D-Bus stand-ins of the dial-up tests).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
labels="${LABELS:-^(clock|e2e)\$}"
lib="$(dpkg -L libfaketime 2>/dev/null | grep '/libfaketime.so.1$' | head -n 1)"
if [ ! -f "$lib" ]; then
  echo "libfaketime is missing: run scripts/install-deps" >&2
  exit 2
fi
[ $# -gt 0 ] || set -- "today 23:30:00" "today 23:59:30"

status=0
for start in "$@"; do
  offset=$(( $(date -d "$start" +%s) - $(date +%s) ))
  echo "== from $(date -d "$start" '+%Y-%m-%d %H:%M:%S %Z') (offset ${offset} s)"
  LD_PRELOAD="$lib${LD_PRELOAD:+:$LD_PRELOAD}" FAKETIME="$(printf '%+d' "$offset")" \
    ctest --test-dir "$build" -L "$labels" ${TESTS:+-R "$TESTS"} --output-on-failure -j"$(nproc)" || status=1
done
exit "$status"
