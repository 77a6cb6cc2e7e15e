#!/bin/sh
# A gateway that does not power off in time is ended and reported: exit
# status 3 and one line on standard error naming the timeout and the capture.
#   timeout_test.sh WORK TEST [GATEWAY_ARG...]
set -eu
work=$1 test=$2
shift 2
top=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work"
mkdir -p "$work"
rc=0
"$top/scripts/gateway" "$@" --work "$work" --boot-timeout 1 "$test" >"$work/out" 2>"$work/err" || rc=$?
expected="gateway: timeout: the system did not power off within 1 s (console: $work/console.txt)"
if [ "$rc" -ne 3 ] || [ "$(cat "$work/err")" != "$expected" ] || [ -s "$work/out" ]; then
  echo "status $rc, standard output:" >&2
  cat "$work/out" >&2
  echo "standard error:" >&2
  cat "$work/err" >&2
  exit 1
fi
