#!/bin/sh
# scripts/gateway --build refuses what an image cannot boot, before making
# it: each case's exit status 2, nothing on standard output and exactly its
# line on standard error.
#   build_test.sh WORK [DYNAMIC_BUILD]
# DYNAMIC_BUILD: a build folder of this tree whose programs are linked
# dynamically (the glibc ARM build).
set -eu
work=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work"
# fake NAME CAPI_RUN: a build folder whose capi-run is CAPI_RUN (a busprobe
# beside it is the same file).
fake() {
  mkdir -p "$work/$1/runner" "$work/$1/busprobe"
  : >"$work/$1/CMakeCache.txt"
  [ -z "$2" ] || cp "$2" "$work/$1/runner/capi-run"
  [ -z "$2" ] || cp "$2" "$work/$1/busprobe/busprobe"
}
fake empty ""
fake host /bin/true
fake script "$0"
mkdir -p "$work/no-cache"
failed=0
# check BUILD EXPECTED_LINE
check() {
  rc=0
  "$top/scripts/gateway" --build "$1" --no-boot "$0" >"$work/out" 2>"$work/err" || rc=$?
  if [ "$rc" -ne 2 ] || [ -s "$work/out" ] || [ "$(cat "$work/err")" != "$2" ]; then
    echo "--build $1: status $rc, standard output:" >&2
    cat "$work/out" >&2
    echo "standard error (expected: $2):" >&2
    cat "$work/err" >&2
    failed=1
  fi
}
check "$work/missing" "gateway: --build $work/missing: no such folder"
check "$work/no-cache" "gateway: --build $work/no-cache: not a build folder (no CMakeCache.txt)"
check "$work/empty" "gateway: $work/empty/runner/capi-run: no such file (build the targets capi-run and busprobe in $work/empty)"
check "$work/host" "gateway: $work/host/runner/capi-run: not a 32-bit ARM program"
check "$work/script" "gateway: $work/script/runner/capi-run: not a program (readelf cannot read it)"
if [ $# -ge 2 ]; then
  check "$2" "gateway: $2/runner/capi-run is linked dynamically: the image needs statically linked programs"
fi
exit "$failed"
