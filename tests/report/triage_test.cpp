// capi-report compared with a baseline and with known failures, run as a
// process: the text report of changes, the exit status, the JUnit, TAP and
// --cases files, and the errors that stop it (exit 2).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.h"

namespace {

// An earlier and a later captured output of one program, both "gw.log".
const Files kLogs = {
    {"base/gw.log",
     "t: a\nCheck_int,ret=1,tar=1\nt: b\nCheck_int,ret=0,tar=1\nt: c\n"
     "CheckTolvaDNSServerConfig_t,result->Server1=1.1.1.1,target->Server1=1.1.1.1\n"
     "CheckTolvaDNSServerConfig_t,result->Server2=8.8.8.8,target->Server2=9.9.9.9\n"
     "t: gone\nCheck_bool,ret=1,tar=1\n"},
    {"now/gw.log",
     "t: a\nCheck_int,ret=2,tar=1\nt: b\nCheck_int,ret=1,tar=1\nt: c\n"
     "CheckTolvaDNSServerConfig_t,result->Server1=1.0.0.1,target->Server1=1.1.1.1\n"
     "CheckTolvaDNSServerConfig_t,result->Server2=8.8.4.4,target->Server2=9.9.9.9\n"
     "t: new\nCheck_bool,ret=0,tar=1\nCheck_char,ret=x,tar=y\n"},
    {"known.txt",
     "gw.log/t: a: *\tGW-1\n"
     "gw.log/t: c: CheckTolvaDNSServerConfig_t/Server1\tboard=*\tGW-2\n  # a comment\n\n"
     "gw.log/t: c: CheckTolvaDNSServerConfig_t/Server?\t\tGW-3 \r\n"
     "gw.log/*new*Check_bool\tGW-4\ngw.log/t: zzz*\tGW-5\n"},
    {"base.cases", "gw.log\tt: a: Check_int\tpass\t\ngw.log\tt: b: Check_int\tknown\tx\\x09y\n"},
    {"base.xls", "wifi \t pass\nled \t failed\n"},
    {"now/base.xls", "wifi \t failed\nled \t pass\n"},
};

const char kChanges[] =
    "REGRESSION gw.log/t: a: Check_int\n"
    "  - ret: passed with \"1\"; now failed with result=\"2\" target=\"1\": differs from tar\n"
    "NEW gw.log/t: new: Check_bool\n"
    "  - ret: result=\"0\" target=\"1\": differs from tar\n"
    "STILL FAILING gw.log/t: c: CheckTolvaDNSServerConfig_t\n"
    "  - Server1: passed with \"1.1.1.1\"; now failed with result=\"1.0.0.1\" target=\"1.1.1.1\": differs from the "
    "expected text\n"
    "FIXED gw.log/t: b: Check_int\n"
    "  - ret: failed with result=\"0\" target=\"1\": differs from tar; now passed with \"1\"\n"
    "NEW gw.log/t: new: Check_char\n"
    "  - passes\n"
    "GONE gw.log/t: gone: Check_bool\n"
    "SUMMARY FAIL cases=5 regression=1 new=2 still_failing=1 failing=0 known=0 fixed=1 gone=1 no_longer_seen=0 "
    "newly_failing=3\n";

const char kKnownChanges[] =
    "KNOWN gw.log/t: a: Check_int\n  - known: GW-1\n"
    "KNOWN gw.log/t: c: CheckTolvaDNSServerConfig_t\n  - known: GW-3\n"
    "KNOWN gw.log/t: new: Check_bool\n  - known: GW-4\n";

TEST(Baseline, ClassesAndChangedFieldsWithAndWithoutKnownFailures) {
    const std::string fixed =
        "FIXED gw.log/t: b: Check_int\n"
        "  - ret: failed with result=\"0\" target=\"1\": differs from tar; now passed with \"1\"\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;
    } cases[] = {
        {{"--baseline-log", "base/gw.log", "--log", "now/gw.log"}, 1, std::string("BASELINE base/gw.log\n") + kChanges},
        // Known: the regression, the new failure and the call whose every
        // failing field is known; GW-2's condition meets no label.
        {{"--baseline-log", "base/gw.log", "--known", "known.txt", "--log", "now/gw.log"}, 0,
         "BASELINE base/gw.log\n" + std::string(kKnownChanges) + fixed +
             "NEW gw.log/t: new: Check_char\n  - passes\nGONE gw.log/t: gone: Check_bool\n"
             "KNOWN ISSUE NO LONGER SEEN gw.log/t: zzz*\n  - known.txt:7: GW-5\n"
             "SUMMARY PASS cases=5 regression=0 new=1 still_failing=0 failing=0 known=3 fixed=1 gone=1 "
             "no_longer_seen=1 newly_failing=0\n"},
        // A --cases file: whole cases, no fields; "known" failed there.
        {{"--baseline", "base.cases", "--log", "now/gw.log"}, 1,
         "BASELINE base.cases\nREGRESSION gw.log/t: a: Check_int\n"
         "  - ret: result=\"2\" target=\"1\": differs from tar\n"
         "NEW gw.log/t: c: CheckTolvaDNSServerConfig_t\n"
         "  - Server1: result=\"1.0.0.1\" target=\"1.1.1.1\": differs from the expected text\n"
         "  - Server2: result=\"8.8.4.4\" target=\"9.9.9.9\": differs from the expected text\n"
         "NEW gw.log/t: new: Check_bool\n  - ret: result=\"0\" target=\"1\": differs from tar\n"
         "FIXED gw.log/t: b: Check_int\nNEW gw.log/t: new: Check_char\n  - passes\n"
         "SUMMARY FAIL cases=5 regression=1 new=3 still_failing=0 failing=0 known=0 fixed=1 gone=0 "
         "no_longer_seen=0 newly_failing=3\n"},
        {{"--baseline", "base.xls", "now/base.xls"}, 1,
         "BASELINE base.xls\nREGRESSION base.xls/wifi\n  - failed at line 1, run 1 of 1\nFIXED base.xls/led\n"
         "SUMMARY FAIL cases=2 regression=1 new=0 still_failing=0 failing=0 known=0 fixed=1 gone=0 "
         "no_longer_seen=0 newly_failing=1\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args[1]);
        const ProgramRun run = run_program(c.args, kLogs);
        EXPECT_EQ(c.status, run.status);
        EXPECT_EQ("", run.err);
        EXPECT_EQ(c.out, run.out);
    }
}

// JUnit keeps its cases: a failure's message says its class, a known one is
// skipped; TAP makes it a to-do; --cases gives it the outcome "known".
TEST(Baseline, JUnitTapAndCasesSayTheClass) {
    const std::vector<std::string> args = {"--baseline-log", "base/gw.log", "--known", "known.txt", "--log",
                                           "now/gw.log", "--junit", "r.xml", "--tap", "r.tap", "--cases", "r.cases"};
    std::string xml, tap, list;
    run_program(args, kLogs, "r.xml", &xml);
    run_program(args, kLogs, "r.tap", &tap);
    EXPECT_EQ(1, run_program({"--baseline-log", "base/gw.log", "--log", "now/gw.log", "--cases", "r.cases"}, kLogs,
                             "r.cases", &list)
                     .status);
    EXPECT_EQ("gw.log\tt: a: Check_int\tfail\tREGRESSION: ret: differs from tar\n"
              "gw.log\tt: b: Check_int\tpass\t\n"
              "gw.log\tt: c: CheckTolvaDNSServerConfig_t\tfail\tSTILL FAILING: Server1: differs from the expected "
              "text; Server2: differs from the expected text\n"
              "gw.log\tt: new: Check_bool\tfail\tNEW: ret: differs from tar\n"
              "gw.log\tt: new: Check_char\tpass\t\n",
              list);
    run_program(args, kLogs, "r.cases", &list);
    EXPECT_EQ("gw.log\tt: a: Check_int\tknown\tknown: GW-1\ngw.log\tt: b: Check_int\tpass\t\n"
              "gw.log\tt: c: CheckTolvaDNSServerConfig_t\tknown\tknown: GW-3\n"
              "gw.log\tt: new: Check_bool\tknown\tknown: GW-4\ngw.log\tt: new: Check_char\tpass\t\n",
              list);
    EXPECT_EQ(R"x(<?xml version="1.0" encoding="UTF-8"?>
<testsuites name="capi-report" tests="5" failures="0" errors="0" skipped="3">
  <testsuite name="gw.log" tests="5" failures="0" errors="0" skipped="3">
    <testcase classname="gw.log" name="t: a: Check_int">
      <skipped message="known: GW-1">ret: differs from tar
line 2
ret: result=&quot;2&quot; target=&quot;1&quot;: differs from tar
</skipped>
    </testcase>
    <testcase classname="gw.log" name="t: b: Check_int"/>
    <testcase classname="gw.log" name="t: c: CheckTolvaDNSServerConfig_t">
      <skipped message="known: GW-3">Server1: differs from the expected text; Server2: differs from the expected text
lines 6-7
Server1: result=&quot;1.0.0.1&quot; target=&quot;1.1.1.1&quot;: differs from the expected text
Server2: result=&quot;8.8.4.4&quot; target=&quot;9.9.9.9&quot;: differs from the expected text
</skipped>
    </testcase>
    <testcase classname="gw.log" name="t: new: Check_bool">
      <skipped message="known: GW-4">ret: differs from tar
line 9
ret: result=&quot;0&quot; target=&quot;1&quot;: differs from tar
</skipped>
    </testcase>
    <testcase classname="gw.log" name="t: new: Check_char"/>
  </testsuite>
</testsuites>
)x",
              xml);
    EXPECT_EQ("TAP version 14\n1..1\n# Subtest: gw.log\n    1..5\n"
              "    not ok 1 - t: a: Check_int # TODO known: GW-1\n      ---\n      severity: fail\n"
              "      message: \"ret: differs from tar\"\n      details:\n        - \"line 2\"\n"
              "        - \"ret: result=\\\"2\\\" target=\\\"1\\\": differs from tar\"\n      ...\n",
              tap.substr(0, tap.find("    ok 2")));
    EXPECT_EQ("    ok 5 - t: new: Check_char\nok 1 - gw.log\n", tap.substr(tap.find("    ok 5")));
}

// What stops the report: a known failure that cannot be read (each line
// named), a baseline that cannot be read, a setting given twice.
TEST(Known, UnreadableLinesAndBaselinesStopTheReport) {
    const std::string usage = "Usage: capi-report ";
    const struct {
        std::string known;  // known.txt
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {"ok\tR\nno tab\n# c\nx\tk y=z\tR\n\tR\n", {"--known", "known.txt", "now/gw.log"},
         "known.txt:2: not a known failure: give NAME-GLOB, a tab, REASON\n"
         "known.txt:4: \"k y=z\" is not a label condition KEY=VALUE-GLOB\n"
         "known.txt:5: not a known failure: give NAME-GLOB, a tab, REASON\n"},
        {"caf\xc3\xa9\tR\n", {"--known", "known.txt", "now/gw.log"},
         "known.txt:1: byte 0xc3 is not printable ASCII: names are matched as --cases writes them, such a byte as "
         "\\xhh\n"},
        {std::string(4097, 'x') + "\tR\n", {"--known", "known.txt", "now/gw.log"},
         "known.txt:1: line longer than 4096 bytes\n"},
        {"", {"--known", "missing.txt", "now/gw.log"}, "capi-report: cannot read missing.txt: No such file or directory\n"},
        {"", {"--baseline", "missing", "now/gw.log"},
         "capi-report: baseline: cannot read missing: No such file or directory\n"},
        {"a\tb\tpass\t\nx\ty\tmaybe\t\n", {"--baseline", "known.txt", "now/gw.log"},
         "known.txt:2: not a case line of --cases (suite, case, pass|fail|error|known, message, tab-separated)\n"},
        {"", {"--baseline", "base", "now/gw.log"},
         "capi-report: baseline: cannot read base/capi-run.tap: No such file or directory\n"},
        {"", {"--baseline", "a", "--baseline", "b", "x"}, "capi-report: --baseline given more than once\n" + usage},
        {"", {"--baseline", "a", "--baseline-log", "b", "x"},
         "capi-report: give one baseline: --baseline or --baseline-log\n" + usage},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.err);
        Files files = kLogs;
        files.push_back({"known.txt", c.known});
        const ProgramRun run = run_program(c.args, files);
        EXPECT_EQ(2, run.status);
        EXPECT_EQ("", run.out);
        EXPECT_EQ(c.err, run.err.substr(0, c.err.size()));
    }
}

}  // namespace

// The page: a row per case, a column per input, each cell's outcome; names
// and values from the inputs are text, never markup.
TEST(Html, MatrixOfCasesWithEveryNameEscaped) {
    const Outcome o = report_of({{capireport::kLog, "gw1.log", "<b>x</b> \x01\xff&\"':\n"
                                                    "CheckTolvaDNSServerConfig_t,result->Server1=<i>,target->Server1=<i>\n"
                                                    "CheckTolvaDNSServerConfig_t,result->Server2=a&b,target->Server2=\"\n"},
                                 {capireport::kLog, "gw2.log", "Check_bool,ret=1,tar=1\n"}});
    const std::string &page = o.files.at("html");
    const size_t table = page.find("<table id=\"matrix\">");
    EXPECT_EQ("<table id=\"matrix\">\n<thead><tr><th>case</th><th>gw1.log</th><th>gw2.log</th></tr></thead>\n<tbody>\n"
              "<tr><th>gw1.log/&lt;b&gt;x&lt;/b&gt; \\x01\xef\xbf\xbd&amp;&quot;&apos;: CheckTolvaDNSServerConfig_t</th>"
              "<td data-outcome=\"fail\"><details><summary>fail</summary><table><tr><th>field<th>result<th>target"
              "<th>reason<tr><td>Server2<td>a&amp;b<td>&quot;<td>differs from the expected text</table></details></td>"
              "<td data-outcome=\"absent\">absent</td></tr>\n"
              "<tr class=\"ok\"><th>gw2.log/Check_bool</th><td data-outcome=\"absent\">absent</td>"
              "<td data-outcome=\"pass\">pass</td></tr>\n</tbody></table>\n"
              "<p>The report's cells: <span id=\"counts\">pass=1 fail=1 error=0 known=0 absent=2</span>",
              page.substr(table, page.find("; as this page") - table));
    EXPECT_EQ(std::string::npos, page.find("://"));
}
