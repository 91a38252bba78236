#!/usr/bin/env bash
# tolvenmark-skin-pack run as a user runs it: output, errors and exit status.
set -uo pipefail
tool="$1" sample="$2"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
failures=0

# expect STATUS PATTERN(stdout+stderr) -- ARGS...
expect() {
    local status="$1" pattern="$2"
    shift 3
    local out got
    out="$("$tool" "$@" 2>&1)"
    got=$?
    if [ "$got" -ne "$status" ] || ! grep -qE -- "$pattern" <<<"$out"; then
        echo "FAIL: $* -> status $got (want $status), output:"
        echo "$out"
        failures=$((failures + 1))
    fi
}

expect 2 '^Usage: tolvenmark-skin-pack FOLDER OUT.SKN' --
expect 2 '^Usage' -- --list
expect 2 '^Usage' -- --bogus x.skn
expect 0 'packed 4 files into' -- "$sample" "$tmp/Round.skn"
expect 0 '^ +[0-9]+  skin\.ini$' -- --list "$tmp/Round.skn"
expect 0 '^ +[0-9]+  mask\.bmp$' -- --list "$tmp/Round.skn"

cp -r "$sample" "$tmp/bad"
mkdir "$tmp/bad/extra"
expect 1 '^tolvenmark-skin-pack: "extra" in .* is a folder' -- "$tmp/bad" "$tmp/Bad.skn"
[ -e "$tmp/Bad.skn" ] && { echo "FAIL: a refused folder left a packed file"; failures=$((failures + 1)); }
expect 1 'is not a packed skin' -- --list "$sample/skin.ini"
expect 1 'cannot open' -- --list "$tmp/absent.skn"
# A FIFO would wait for a writer for ever.
mkfifo "$tmp/pipe.skn"
expect 1 'cannot open ".*pipe.skn": not a regular file' -- --list "$tmp/pipe.skn"

[ "$failures" -eq 0 ] && echo "all passed"
exit $((failures > 0))
