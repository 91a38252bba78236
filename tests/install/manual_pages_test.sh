#!/usr/bin/env bash
# The manual pages and --help name the same options.
#   manual_pages_test.sh MAN_SOURCE_DIR PROGRAM...
set -euo pipefail
man_dir="$1"; shift
options() { grep -oE -- '--[a-z][a-z-]*' | sort -u; }
status=0
for program in "$@"; do
  page="$man_dir/$(basename "$program").1.scd"
  if ! diff <("$program" --help | options) <(options < "$page") >&2; then
    echo "$(basename "$program"): --help (<) and $page (>) name different options" >&2
    status=1
  fi
done
exit $status
