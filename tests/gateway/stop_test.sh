#!/bin/sh
# A session in the booted gateway that something stops (a kernel panic, a
# power cut, a test that reboots the gateway), with or without a disk that
# carries the session over the restart, checked through what the console
# carried of every boot:
#
#   stop_test.sh WORK FIXTURES STATUS EMULATOR REPORT -- GATEWAY_ARG...
#
# scripts/gateway must end with STATUS (its standard error shown when not).
# capi-report (of this build, run under EMULATOR) recovers the results folder
# from the capture (--unpack) and reports on it: its text report and JUnit
# file must be FIXTURES.txt and FIXTURES.xml (the counts of the capture's
# repaired and rebuilt lines written as N), its status the one its SUMMARY
# line implies, and the recovered sheet must be FIXTURES.rows: the rows from
# before and after the stop.
set -eu
[ $# -ge 6 ] || { echo "usage: stop_test.sh WORK FIXTURES STATUS EMULATOR REPORT -- GATEWAY_ARG..." >&2; exit 2; }
work=$1 fixtures=$2 expected=$3 emulator=$4 report=$5
shift 5
[ "$1" = "--" ] && shift
top=$(cd "$(dirname "$0")/../.." && pwd)
fail() {
  echo "gateway $(basename "$fixtures"): $*" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$work"
gateway_rc=0
"$top/scripts/gateway" --work "$work/image" --capture "$work/console.txt" "$@" >"$work/gateway.out" 2>"$work/gateway.err" ||
  gateway_rc=$?
[ "$gateway_rc" -eq "$expected" ] ||
  { cat "$work/gateway.err" >&2; fail "scripts/gateway exited with status $gateway_rc, not $expected"; }
report_rc=0
# shellcheck disable=SC2086
(cd "$work" && $emulator "$report" --junit capi-report.xml --unpack session console.txt >capi-report.txt \
  2>capi-report.err) || report_rc=$?
# The status the report implies: 0 when it ends in a pass.
status=1
case $(tail -n 1 "$fixtures.txt") in "SUMMARY PASS "*) status=0 ;; esac
[ "$report_rc" -eq "$status" ] ||
  { cat "$work/capi-report.err" >&2; fail "capi-report exited with status $report_rc, not $status"; }
sed -e 's/lines_repaired=[0-9]* lines_rebuilt=[0-9]*/lines_repaired=N lines_rebuilt=N/' "$work/capi-report.txt" \
  >"$work/capi-report.masked"
diff "$fixtures.txt" "$work/capi-report.masked" || fail "capi-report's report differs from the expected one ($fixtures.txt)"
diff "$fixtures.xml" "$work/capi-report.xml" || fail "capi-report's JUnit file differs from the expected one ($fixtures.xml)"
diff "$fixtures.rows" "$work/session/capi.xls" || fail "the rows differ from the expected ones ($fixtures.rows)"
