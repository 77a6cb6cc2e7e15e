// capi-report run as a process: options, exit status, messages naming what
// cannot be read, the JUnit file it writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fieldaudit_version.h"
#include "support.h"

namespace {

const char kUsage[] =
    "Usage: capi-report [--junit FILE] [--tap FILE] [--cases FILE] [--html FILE] [--log CAPTURED_OUTPUT]... "
    "[--unpack DIR CAPTURE]... [--baseline BASE] [--baseline-log LOG] [--known FILE] [--help] [--version] "
    "[SHEET | DIR | -]...\n";

TEST(Program, OptionsStatusAndMessages) {
    const Files files = {
        {"gw1.xls", "wifi \t pass\n"},
        {"gw2.xls", "wifi \t failed\nwifi \t pass\n"},
        {"bad.xls", "wifi \t failed\n"},
        {"run.log", "Check_int,ret=0,tar=0\n"},
    };
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;  // the start of standard output; none at all where empty with status 2
        std::string err;  // the start of standard error
    } cases[] = {
        {{}, 2, "", std::string("capi-report: no sheet, results folder, --log or --unpack given\n") + kUsage},
        {{"--bogus", "gw1.xls"}, 2, "", "capi-report: Unknown option --bogus\n"},
        {{"gw1.xls", "--junit"}, 2, "", "capi-report: Missing argument for --junit\n"},
        {{"--help"}, 0, kUsage, ""},
        {{"gw1.xls", "--log", "run.log", "gw2.xls"}, 0,
         "SHEET gw1.xls\n  PASS runs=1    pass=1    failed=0    wifi\n"
         "TOTAL PASS rows=1 names=1 pass=1 failed=0 failing=0 malformed=0 gw1.xls\nSHEET gw2.xls\n",
         ""},
        {{"gw1.xls", "bad.xls"}, 1, "SHEET gw1.xls\n", ""},
        {{"gw1.xls", "missing.xls", "--log", "."}, 2, "SHEET gw1.xls\n",
         "capi-report: cannot read missing.xls: No such file or directory\n"
         "capi-report: cannot read .: Is a directory\n"},
        // The same words with any C library (musl's strerror() says "Filename too long").
        {{std::string(300, 'n') + ".xls"}, 2, "SHEET " + std::string(300, 'n') + ".xls\n",
         "capi-report: cannot read " + std::string(300, 'n') + ".xls: File name too long\n"},
        {{"--junit", "no/such/dir/r.xml", "gw1.xls"}, 2, "SHEET gw1.xls\n",
         "capi-report: cannot write the JUnit XML report to no/such/dir/r.xml: No such file or directory\n"},
    };
    for (const auto &c : cases) {
        std::string args;
        for (const std::string &a : c.args) args += " " + a;
        SCOPED_TRACE(args);
        const ProgramRun run = run_program(c.args, files);
        EXPECT_EQ(c.status, run.status);
        EXPECT_EQ(c.out, run.out.substr(0, c.status == 2 && c.out.empty() ? std::string::npos : c.out.size()));
        EXPECT_EQ(c.err, run.err.substr(0, c.err.size())) << run.err;
    }
}

TEST(Program, FleetOfSheetsIntoOneJUnitFile) {
    std::string xml;
    // lab/ is a file here, so lab/gw2.xls cannot be read.
    const ProgramRun run = run_program({"--junit", "capi.xml", "--log", "run.log", "gw1.xls", "lab/gw2.xls"},
                                       {{"gw1.xls", "wifi \t pass\n"}, {"lab", ""}, {"run.log", "Check_bool,ret=1,tar=0\n"}},
                                       "capi.xml", &xml);
    EXPECT_EQ(2, run.status);
    EXPECT_EQ("capi-report: cannot read lab/gw2.xls: Not a directory\n", run.err);
    EXPECT_EQ("SHEET gw1.xls\n"
              "  PASS runs=1    pass=1    failed=0    wifi\n"
              "TOTAL PASS rows=1 names=1 pass=1 failed=0 failing=0 malformed=0 gw1.xls\n"
              "SHEET lab/gw2.xls\n"
              "TOTAL ERROR unreadable lab/gw2.xls\n"
              "LOG run.log\n"
              "  FAIL line=1        Check_bool\n"
              "    - ret: result=\"1\" target=\"0\": differs from tar\n"
              "TOTAL FAIL calls=1 pass=0 failed=1 incomplete=0 stray=0 foreign=0 run.log\n"
              "SUMMARY ERROR inputs=3 unreadable=1 names=1 failing=0 calls=1 failed=1 malformed=0 stray=0\n",
              run.out);
    EXPECT_EQ(R"x(<?xml version="1.0" encoding="UTF-8"?>
<testsuites name="capi-report" tests="3" failures="1" errors="1">
  <testsuite name="gw1.xls" tests="1" failures="0" errors="0">
    <testcase classname="gw1.xls" name="wifi"/>
  </testsuite>
  <testsuite name="gw2.xls" tests="1" failures="0" errors="1">
    <testcase classname="gw2.xls" name="(sheet)">
      <error message="cannot read lab/gw2.xls: Not a directory"/>
    </testcase>
  </testsuite>
  <testsuite name="run.log" tests="1" failures="1" errors="0">
    <testcase classname="run.log" name="Check_bool">
      <failure message="ret: differs from tar">line 1
ret: result=&quot;1&quot; target=&quot;0&quot;: differs from tar
</failure>
    </testcase>
  </testsuite>
</testsuites>
)x",
              xml);
}

// The options, the usage line and --help are made from one table: the help
// text whole, byte for byte, the same plain ASCII in every locale (GLib's own
// help puts an ellipsis that a console without UTF-8 shows as "?").
TEST(Program, HelpWholeFromTheTableOfOptions) {
    const std::string expected = std::string(kUsage) +
                                 "\n"
                                 "Reports the rows of result sheets, the checker calls of captured test output and\n"
                                 "the tests of capi-run results folders: per row name its runs, passes, failures\n"
                                 "and latest outcome; per call its verdict and the fields that failed; per test\n"
                                 "what happened to it, its calls and its rows. One JUnit test suite per input file\n"
                                 "and per test of a session.\n"
                                 "\n"
                                 "Options:\n"
                                 "  --junit FILE             Also write the report as JUnit XML to FILE\n"
                                 "  --tap FILE               Also write the report as TAP version 14 to FILE\n"
                                 "  --cases FILE             Also write its test cases, a line each, tab-separated, to FILE\n"
                                 "  --html FILE              Also write a page with a column per input and a row per case "
                                 "to FILE\n"
                                 "  --log CAPTURED_OUTPUT    Captured standard output of a test program (repeatable)\n"
                                 "  --unpack DIR CAPTURE     A capi-run results folder recovered into DIR from a console "
                                 "capture (repeatable)\n"
                                 "  --baseline BASE          Compare each case with BASE: a results folder, a sheet or a "
                                 "--cases file\n"
                                 "  --baseline-log LOG       Compare each case with a captured output of an earlier run\n"
                                 "  --known FILE             Known failures, a line each: NAME-GLOB [KEY=GLOB]... REASON, "
                                 "tab-separated\n"
                                 "  --help                   Show this help and exit\n"
                                 "  --version                Show the version and exit\n"
                                 "\n"
                                 "Arguments: a result sheet, a capi-run results folder, or - for standard input\n"
                                 "(a sheet; --log - reads a captured output from it). An output FILE given as -\n"
                                 "goes to standard output in place of the text report.\n"
                                 "\n"
                                 "Exit status: 0 all passed, 1 something failed, 2 usage error, an input that\n"
                                 "cannot be read or a file that cannot be written. With --baseline or --known the\n"
                                 "report lists what changed and what is known, and 1 means a failure that is new\n"
                                 "and not known.\n";
    for (const char *locale : {"C", "C.UTF-8"}) {
        SCOPED_TRACE(locale);
        for (const char *option : {"--help", "-h"}) {
            const ProgramRun run = run_program({option}, {}, "", nullptr, {{"LC_ALL", locale}});
            EXPECT_EQ(0, run.status);
            EXPECT_EQ("", run.err);
            EXPECT_EQ(expected, run.out);
        }
        const ProgramRun usage = run_program({"--bogus"}, {}, "", nullptr, {{"LC_ALL", locale}});
        EXPECT_EQ(2, usage.status);
        EXPECT_EQ(std::string::npos, usage.err.find('?')) << usage.err;
    }
}

// --version in busprobe's form; "-" reads standard input, as a sheet or with
// --log as a log; a captured output given as a sheet gets one hint.
TEST(Program, VersionStandardInputAndTheHintForALog) {
    const std::string log = "capi_demo: wifi_function\nCheck_return_result,ret=0,tar=0\nCheck_int,ret=1,tar=1\n";
    const struct {
        std::vector<std::string> args;
        std::string input;  // standard input
        int status;
        std::string out, err;
    } cases[] = {
        {{"--version"}, "", 0, "capi-report " FIELDAUDIT_VERSION "\n", ""},
        {{"--version", "--bogus"}, "", 2, "", "capi-report: Unknown option --bogus\n" + std::string(kUsage)},
        {{"-"}, "wifi \t pass\n", 0,
         "SHEET -\n  PASS runs=1    pass=1    failed=0    wifi\n"
         "TOTAL PASS rows=1 names=1 pass=1 failed=0 failing=0 malformed=0 -\n"
         "SUMMARY PASS inputs=1 unreadable=0 names=1 failing=0 calls=0 failed=0 malformed=0 stray=0\n",
         ""},
        {{"--log", "-"}, log, 0,
         "LOG -\n  PASS line=2        capi_demo: wifi_function: Check_return_result\n"
         "  PASS line=3        capi_demo: wifi_function: Check_int\n"
         "TOTAL PASS calls=2 pass=2 failed=0 incomplete=0 stray=0 foreign=1 -\n"
         "SUMMARY PASS inputs=1 unreadable=0 names=0 failing=0 calls=2 failed=0 malformed=0 stray=0\n",
         ""},
        {{"-", "--log", "-"}, "", 2, "", "capi-report: standard input (-) given more than once\n" + std::string(kUsage)},
        {{"-"}, log, 1,
         "SHEET -\nTOTAL FAIL rows=0 names=0 pass=0 failed=0 failing=0 malformed=3 -\n"
         "SUMMARY FAIL inputs=1 unreadable=0 names=0 failing=0 calls=0 failed=0 malformed=3 stray=0\n",
         "-:2: a checker's line, not a sheet row: this is captured test output; give it with --log\n"},
        {{"--unpack", "dir"}, "", 2, "", "capi-report: Missing argument for --unpack (DIR CAPTURE)\n" + std::string(kUsage)},
    };
    for (const auto &c : cases) {
        std::string args;
        for (const std::string &a : c.args) args += " " + a;
        SCOPED_TRACE(args);
        const ProgramRun run = run_program(c.args, {{"stdin", c.input}}, "", nullptr, {}, "stdin");
        EXPECT_EQ(c.status, run.status);
        EXPECT_EQ(c.out, run.out);
        EXPECT_EQ(c.err, run.err);
    }
}

}  // namespace
