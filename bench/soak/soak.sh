#!/usr/bin/env bash
# Installs what the soak needs (stress-ng, libfaketime, Xvfb) when missing, then
# runs it: bench/soak/soak.sh short|long [BUILD] [hidden]
set -euo pipefail
cd "$(dirname "$0")/../.."
missing=()
command -v stress-ng >/dev/null || missing+=(stress-ng)
compgen -G "/usr/lib/*/faketime/libfaketime.so.1" >/dev/null || missing+=(faketime libfaketime)
command -v xvfb-run >/dev/null || missing+=(xvfb)
if [[ ${#missing[@]} -gt 0 ]]; then
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null ||
        { "${sudo[@]}" apt-get update >/dev/null && "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null; }
fi
exec python3 bench/soak/soak.py "${1:-short}" "${2:-build}" ${3:+"$3"}
