#!/bin/sh
# The matrix page in a real browser: capi-run makes three labelled sessions
# (a baseline and two gateways), capi-report compares them and writes the
# page and its cases, headless Chromium opens the page. The page's script
# counts the cells of each outcome as the browser read them: the counts must
# be the page's own and the report's (its --cases file), and a case name
# holding markup must stay text. Then a screenshot. Exit 77 (skipped) when
# there is no chromium.
#   browser_test.sh CAPI_REPORT CAPI_RUN WORK_DIR
set -eu
report=$1 run=$2 work=$3
browser=$(command -v chromium || true)
if [ -z "$browser" ]; then
  echo "browser_test: no chromium on the PATH (scripts/setup installs it): skipped"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# The test program: its lines depend on VARIANT.
cat >t.sh <<'EOF'
#!/bin/sh
echo "t: wifi"
echo "Check_int,ret=1,tar=1"
echo "t: led"
[ "$VARIANT" = gw1 ] && echo "Check_int,ret=0,tar=1" || echo "Check_int,ret=1,tar=1"
echo "t: </td></tr><script>document.title='escaped?'</script>"
[ "$VARIANT" = base ] || echo "Check_bool,ret=0,tar=1"
[ "$VARIANT" = gw1 ] && printf 't: usb\nCheck_int,ret=1,tar=1\n'
[ "$VARIANT" = gw2 ] && kill -SEGV $$
exit 0
EOF
chmod 755 t.sh
for v in base gw1 gw2; do
  VARIANT=$v "$run" --results "$v" --no-busprobe --label "board=$v" --label "build=$v" ./t.sh >/dev/null || true
done
printf 't.sh/*script*\tboard=gw2\tGW-7\n' >known.txt
rc=0
"$report" --baseline base --known known.txt --html page.html --cases cases.txt gw1 gw2 >report.txt || rc=$?
[ "$rc" -eq 1 ] || { echo "browser_test: capi-report exited $rc, not 1"; cat report.txt; exit 1; }

chrome() {
  timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run --user-data-dir="$work/profile" "$@" 2>/dev/null
}
chrome --dump-dom "file://$work/page.html" >dom.html
counted=$(sed -n 's/.*<output id="counted">\([^<]*\)<.*/\1/p' dom.html)
own=$(sed -n 's/.*<span id="counts">\([^<]*\)<.*/\1/p' page.html)
cases=$(for o in pass fail error known; do
  printf '%s=%s ' "$o" "$(cut -f 3 cases.txt | grep -cx "$o" || true)"
done)
absent=$(grep -o 'data-outcome="absent"' page.html | wc -l)
status=0
[ "$counted" = "$own" ] || { echo "browser_test: the browser counts '$counted', the page says '$own'"; status=1; }
[ "$counted" = "${cases}absent=$absent" ] || { echo "browser_test: the browser counts '$counted', the report '$cases'"; status=1; }
[ "$counted" = "pass=5 fail=2 error=1 known=1 absent=1" ] || { echo "browser_test: counts '$counted'"; status=1; }
grep -q '<title>capi-report</title>' dom.html || { echo "browser_test: a case name ran as markup"; status=1; }

chrome --screenshot="$work/matrix.png" --window-size=1400,900 "file://$work/page.html" >/dev/null
if [ "$(head -c 8 matrix.png | od -An -c | tr -d ' ')" != '211PNG\r\n032\n' ] || [ "$(wc -c <matrix.png)" -lt 2000 ]; then
  echo "browser_test: no screenshot"
  status=1
fi
[ "$status" -eq 0 ] && echo "browser_test: $counted; screenshot $work/matrix.png"
exit "$status"
