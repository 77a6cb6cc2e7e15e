#!/bin/sh
# scripts/demo with a flag it does not know, or --help, prints the usage and
# exits 2 before it installs, builds or runs anything.
#   usage_test.sh WORK
set -eu
work=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$work"
usage="usage: scripts/demo [--gateway] [-M] [-S] [-E]
  -M, -S, -E  only the main status, the services or the home side calls
              (with several, the highest: -E, then -S, then -M)
  --gateway   run the test program and busprobe in a booted ARM gateway"
failed=0
# flags | expected standard output | expected standard error
check() {
  rc=0
  # shellcheck disable=SC2086
  "$top/scripts/demo" $1 >"$work/out" 2>"$work/err" || rc=$?
  if [ "$rc" -ne 2 ] || [ "$(cat "$work/out")" != "$2" ] || [ "$(cat "$work/err")" != "$3" ]; then
    echo "scripts/demo $1: status $rc" >&2
    echo "--- standard output" >&2
    cat "$work/out" >&2
    echo "--- standard error" >&2
    cat "$work/err" >&2
    failed=1
  fi
}
check "--help" "$usage" ""
check "-M --help -E" "$usage" ""
check "-X" "" "demo: unknown flag -X
$usage"
check "-M --gateway -m" "" "demo: unknown flag -m
$usage"
check "--gateway=1" "" "demo: unknown flag --gateway=1
$usage"
exit "$failed"
