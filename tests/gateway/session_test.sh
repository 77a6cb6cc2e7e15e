#!/bin/sh
# One session in the booted gateway (scripts/gateway), checked through what
# the console carried: the capture must give back the whole results folder,
# that folder must equal the expected one, file for file, byte for byte, and
# capi-report's text report and JUnit file on it must be the expected ones.
#
#   session_test.sh CASE WORK FIXTURES EMULATOR REPORT PROGRAM... -- GATEWAY_ARG...
#
# CASE is demo, noise or faults; WORK a folder made fresh for the session;
# FIXTURES the folder of expected files, FIXTURES.txt and FIXTURES.xml the
# expected report and JUnit file (where they exist; the counts of the
# capture's repaired and rebuilt lines written as N); REPORT the capi-report
# of this build, which
# recovers the folder (--unpack) and reports on it, run under EMULATOR, as
# are the PROGRAMs that make the rest of the expected folder:
#   demo    PROGRAM is capi_demo: its output, run here, is what the gateway
#           must have captured, and its rows, then busprobe's, the sheet.
#   noise   PROGRAM is capi_demo: long_demo's output is its output ten times
#           over (its rows go elsewhere), carried through a console busy with
#           kernel and daemon lines.
#   faults  PROGRAM is the flood program: the flood's kept output must be
#           the start of what it writes.
# A file NAME.in among the fixtures is NAME with each "@SIZE:FILE@" written as
# the size of FILE in the expected folder. Values that differ from run to run
# are written alike first: the seconds of each test point, busprobe's
# temporary file names. What scripts/gateway prints must be the session's
# summary, as the folder holds it, and the capture's path.
# With GATEWAY_COMPARE set to the folder of the same session booted with
# another C library's programs (its WORK/session, written alike), the two
# results folders must be the same too.
set -eu
[ $# -ge 6 ] || { echo "usage: session_test.sh CASE WORK FIXTURES EMULATOR REPORT PROGRAM... -- GATEWAY_ARG..." >&2; exit 2; }
case=$1 work=$2 fixtures=$3 emulator=$4 report=$5
shift 5
programs=""
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  programs="$programs $1"
  shift
done
[ $# -gt 0 ] && shift
top=$(cd "$(dirname "$0")/../.." && pwd)
fail() {
  echo "gateway $case: $*" >&2
  exit 1
}
# run PROGRAM...: under this build's emulator.
run() {
  # shellcheck disable=SC2086
  $emulator "$@"
}

rm -rf "$work"
mkdir -p "$work/expected"
expected=$work/expected
results=$work/session
rc=0
"$top/scripts/gateway" --work "$work/image" --capture "$work/console.txt" "$@" >"$work/gateway.out" || rc=$?
# The report names its inputs as given: relative to WORK, the same in every
# build. A damaged or missing line of the capture goes to standard error.
report_rc=0
(cd "$work" && run "$report" --junit capi-report.xml --unpack session console.txt >capi-report.txt 2>capi-report.err) ||
  report_rc=$?
[ "$report_rc" -ne 2 ] || { cat "$work/capi-report.err" >&2; fail "capi-report could not recover or read the results folder"; }
[ ! -s "$work/capi-report.err" ] ||
  { cat "$work/capi-report.err" >&2; fail "the results folder did not come whole through the console ($work/console.txt)"; }

# scripts/gateway prints the session's TAP lines as the console carried
# them (the kernel's lines left out), then the capture's path; with noise on
# the console, kernel lines land inside them too.
if [ "$case" != noise ]; then
  { cat "$results/capi-run.tap"; echo "console: $work/console.txt"; } | diff - "$work/gateway.out" ||
    fail "scripts/gateway's standard output is not the session's summary and the capture's path"
fi

sed -e 's/^  seconds: [0-9]*\.[0-9]*$/  seconds: S/' "$results/capi-run.tap" >"$work/capi-run.tap"
mv "$work/capi-run.tap" "$results/capi-run.tap"
for f in "$results"/busprobe*.out; do
  [ -f "$f" ] || continue
  sed -e 's/tmp_file\.[A-Za-z0-9]\{6\}/tmp_file.XXXXXX/g' "$f" >"$f.masked"
  mv "$f.masked" "$f"
done

# shellcheck disable=SC2086
set -- $programs
case $case in
  demo)
    # The rows of capi_demo, then busprobe's pass row on the sample log.
    (cd "$expected" && run "$1" >capi_demo.out 2>capi_demo.err) || fail "capi_demo failed here"
    printf 'signal_capi_function \t pass\n' >>"$expected/capi.xls"
    # The demo's deliberate faults fail rows: capi_demo is not ok.
    status=1
    ;;
  noise)
    # The long output: capi_demo ten times over, its rows each time, then
    # busprobe's row.
    (cd "$expected" && run "$1" >capi_demo.out 2>capi_demo.err) || fail "capi_demo failed here"
    for i in 1 2 3 4 5 6 7 8 9 10; do
      cat "$expected/capi_demo.out" >>"$expected/long_demo.out"
      cat "$expected/capi_demo.err" >>"$expected/long_demo.err"
    done
    rm "$expected/capi_demo.out" "$expected/capi_demo.err"
    # busprobe's files are the demo's.
    cp "$fixtures/../demo/busprobe.out" "$fixtures/../demo/busprobe.err" "$expected/"
    printf 'signal_capi_function \t pass\n' >"$expected/capi.xls"
    status=0
    ;;
  faults)
    [ -f "$results/flood.out" ] || fail "no flood.out in the results folder"
    CAPI_FAULT_FLOOD_BYTES=$(wc -c <"$results/flood.out") run "$1" >"$expected/flood.out"
    status=1
    ;;
  *) fail "no such case" ;;
esac
for f in "$fixtures"/*; do
  name=$(basename "$f")
  case $name in
    *.in)
      sizes=""
      for g in "$expected"/*; do
        sizes="$sizes;s/@SIZE:$(basename "$g")@/$(wc -c <"$g" | tr -d ' ')/g"
      done
      sed -e "${sizes#;}" "$f" >"$expected/${name%.in}"
      ;;
    *) cp "$f" "$expected/$name" ;;
  esac
done

[ "$rc" -eq "$status" ] || { cat "$work/gateway.out"; fail "scripts/gateway exited with status $rc, not $status"; }
diff -r "$expected" "$results" || fail "the results folder differs from the expected one ($expected)"
# The capture's line says what it took to give the folder back.
sed -e 's/lines_repaired=[0-9]* lines_rebuilt=[0-9]*/lines_repaired=N lines_rebuilt=N/' "$work/capi-report.txt" \
  >"$work/capi-report.masked"
if [ -f "$fixtures.txt" ]; then
  diff "$fixtures.txt" "$work/capi-report.masked" || fail "capi-report's report differs from the expected one ($fixtures.txt)"
  diff "$fixtures.xml" "$work/capi-report.xml" || fail "capi-report's JUnit file differs from the expected one ($fixtures.xml)"
fi
# Whatever the fixtures say: each test point that is not ok (a crash, a
# hang, an exit status, lost output) is an <error> in its test's suite, so
# the calls a program never made do not read as green.
# Test names here are single words: one per line.
# shellcheck disable=SC2013
for name in $(sed -n 's/^not ok [0-9]* - \([A-Za-z0-9_.-]*\).*/\1/p' "$results/capi-run.tap"); do
  awk -v suite="$name" '/<testsuite / { cur = index($0, "<testsuite name=\"" suite "\" ") > 0 }
    cur && /<error / { found = 1 } END { exit !found }' "$work/capi-report.xml" ||
    fail "test $name is not ok, but its JUnit suite has no <error>"
done
# Failed calls and rows (demo), failed, crashed and timed-out tests (faults).
[ "$report_rc" -eq 1 ] || fail "capi-report exited with status $report_rc, not 1"
if [ -n "${GATEWAY_COMPARE:-}" ]; then
  [ -d "$GATEWAY_COMPARE" ] || fail "no session to compare with in $GATEWAY_COMPARE: run that build's gateway tests first (scripts/test runs both)"
  diff -r "$GATEWAY_COMPARE" "$results" || fail "the results folder differs from the one of $GATEWAY_COMPARE"
fi
