// capi-report on a capi-run results folder and on a console capture of one:
// the folder written with capi-run's own writers (its summary's test points,
// its console bundle), then the text report, the problems and the JUnit file
// compared whole.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "bundle.h"
#include "session.h"
#include "support.h"

namespace {

struct Test {
    const char *name;
    capi_outcome outcome;
    int exit_status;
    const char *signal;
    const char *reason;
    std::string out;  // its captured output; none at all where null is wanted: see `started`
    unsigned long rows_first, rows;
    unsigned long long dropped;
};

capi_session_test point_of(const Test &t, unsigned number) {
    capi_session_test p;
    memset(&p, 0, sizeof p);
    p.number = number;
    g_strlcpy(p.name, t.name, sizeof p.name);
    p.outcome = t.outcome;
    p.exit_status = t.exit_status;
    g_strlcpy(p.signal, t.signal, sizeof p.signal);
    g_strlcpy(p.reason, t.reason, sizeof p.reason);
    p.milliseconds = 41;
    if (t.outcome != CAPI_NOT_STARTED) {
        g_snprintf(p.out.file, sizeof p.out.file, "%s.out", t.name);
        p.out.bytes = t.out.size();
        p.out.dropped = t.dropped;
        g_snprintf(p.err.file, sizeof p.err.file, "%s.err", t.name);
    }
    p.rows_first = t.rows_first;
    p.rows = t.rows;
    return p;
}

// The folder's files: the summary, the rows' copy, each test's streams.
Files session_files(const std::vector<Test> &tests, const std::string &sheet) {
    std::string summary = "TAP version 14\n1.." + std::to_string(tests.size()) + "\n";
    size_t ok = 0;
    Files files;
    for (size_t i = 0; i < tests.size(); ++i) {
        capi_session_test p = point_of(tests[i], static_cast<unsigned>(i + 1));
        // Its rows' outcomes, as capi-run counts them in the sheet's lines.
        std::string::size_type at = 0;
        for (unsigned long line = 1; at < sheet.size(); ++line) {
            const std::string::size_type end = sheet.find('\n', at);
            const std::string row = sheet.substr(at, end - at);
            at = end == std::string::npos ? sheet.size() : end + 1;
            if (line < p.rows_first || line >= p.rows_first + p.rows) continue;
            ++*(row.find("\t failed") != std::string::npos ? &p.rows_failed : &p.rows_passed);
        }
        char point[CAPI_SESSION_POINT_MAX];
        summary.append(point, capi_session_format(&p, point, sizeof point));
        ok += capi_session_ok(&p);
        if (p.out.file[0]) {
            files.push_back({p.out.file, tests[i].out});
            files.push_back({p.err.file, ""});
        }
    }
    summary += "# " + std::to_string(tests.size()) + " test points: " + std::to_string(ok) + " ok, " +
               std::to_string(tests.size() - ok) + " not ok\n";
    files.insert(files.begin(), {{CAPI_SESSION_SUMMARY, summary}, {CAPI_SESSION_SHEET, sheet}});
    return files;
}

// A console capture of the folder: a part of the bundle per file, as
// capi-run's writer makes them, each line then changed by `mangle` (its
// number from 0, the line with its newline) before the capture is written.
std::string capture_of(const Files &files, std::string (*mangle)(size_t, const std::string &)) {
    char name[] = CAPI_REPORT_RUNS_DIR "/bundle.XXXXXX";
    const int fd = mkstemp(name);
    EXPECT_GE(fd, 0);
    capi_bundle_writer writer;
    EXPECT_EQ(0, capi_bundle_begin(&writer, fd, "0123456789abcdef", 1));
    for (size_t i = 0; i < files.size(); ++i) {
        capi_bundle_piece piece;
        memset(&piece, 0, sizeof piece);
        piece.name = files[i].first.c_str();
        piece.bytes = files[i].second.data();
        piece.size = files[i].second.size();
        EXPECT_EQ(0, capi_bundle_part(&writer, i, &piece, 1));
    }
    EXPECT_EQ(0, capi_bundle_end(&writer, files.size()));
    close(fd);
    gchar *bytes = nullptr;
    g_file_get_contents(name, &bytes, nullptr, nullptr);
    gchar **lines = g_strsplit(bytes, "\n", -1);
    std::string capture = "U-Boot 2024.01\r\nStarting kernel ...\r\n";
    for (size_t i = 0; lines[i] && lines[i][0]; ++i) capture += mangle(i, std::string(lines[i]) + "\r\n");
    g_strfreev(lines);
    g_free(bytes);
    remove(name);
    return capture;
}

std::string as_is(size_t, const std::string &line) { return line; }

const char kDemoOut[] =
    "capi_demo: wifi_function\n"
    "Check_return_result,ret=0,tar=0\n"
    "CheckTolvaDNSServerConfig_t,result->Server1=1.1.1.1,target->Server1=1.1.1.1\n"
    "CheckTolvaDNSServerConfig_t,result->Server2=8.8.8.8,target->Server2=9.9.9.9\n"
    "capi_demo: led_function\n"
    "Check_return_result,ret=0,tar=0\n"
    "Check_return_result,ret=0,tar=0\n";

// A session with a test of each outcome: one that passed with a failing call
// and a failed row, one that crashed in the middle of a call, one that timed
// out, one that lost output, one that did not start, and busprobe.
const std::vector<Test> kTests = {
    {"capi_demo", CAPI_PASSED, 0, "", "", kDemoOut, 1, 2, 0},
    {"crasher", CAPI_CRASHED, -1, "SIGSEGV", "", "Check_int,ret=1,tar=1\nCheckTolvaDNSServerConfig_t,result->Server1=a,target->Server1=a\n", 0, 0, 0},
    {"hang", CAPI_TIMED_OUT, -1, "SIGTERM", "", "", 3, 1, 0},
    {"flood", CAPI_PASSED, 0, "", "", "Check_bool,ret=1,tar=1\n", 0, 0, 4096},
    {"lost x bit", CAPI_NOT_STARTED, -1, "", "not executable", "", 0, 0, 0},
    {"busprobe", CAPI_PASSED, 0, "", "", "busprobe: 10 markers found\n", 4, 1, 0},
};
const char kSheet[] = "wifi_function \t failed\nled_function \t pass\nhang_row \t pass\nsignal_capi_function \t pass\n";

const char kText[] =
    "TEST FAIL capi_demo\n"
    "  ERROR failed rows: 1\n"
    "  PASS line=2        capi_demo: wifi_function: Check_return_result\n"
    "  FAIL lines=3-4     capi_demo: wifi_function: CheckTolvaDNSServerConfig_t\n"
    "    - Server2: result=\"8.8.8.8\" target=\"9.9.9.9\": differs from the expected text\n"
    "  PASS line=6        capi_demo: led_function: Check_return_result\n"
    "  PASS line=7        capi_demo: led_function: Check_return_result\n"
    "  FAIL runs=1    pass=0    failed=1    wifi_function\n"
    "    - failed at line 1, run 1 of 1\n"
    "  PASS runs=1    pass=1    failed=0    led_function\n"
    "TEST FAIL crasher\n"
    "  ERROR crashed: SIGSEGV\n"
    "  PASS line=1        Check_int\n"
    "  FAIL line=2        CheckTolvaDNSServerConfig_t\n"
    "    - incomplete: the output ends where the CheckTolvaDNSServerConfig_t line of Server2 is due\n"
    "TEST FAIL hang\n"
    "  ERROR timed out\n"
    "  PASS runs=1    pass=1    failed=0    hang_row\n"
    "TEST FAIL flood\n"
    "  ERROR passed, 4096 bytes dropped\n"
    "  PASS line=1        Check_bool\n"
    "TEST FAIL lost x bit\n"
    "  ERROR not started: not executable\n"
    "TEST PASS busprobe\n"
    "  PASS runs=1    pass=1    failed=0    signal_capi_function\n";

const char kJUnitSuites[] = R"x(  <testsuite name="capi_demo" tests="7" failures="2" errors="1">
    <testcase classname="capi_demo" name="capi_demo: wifi_function: Check_return_result"/>
    <testcase classname="capi_demo" name="capi_demo: wifi_function: CheckTolvaDNSServerConfig_t">
      <failure message="Server2: differs from the expected text">lines 3-4
Server2: result=&quot;8.8.8.8&quot; target=&quot;9.9.9.9&quot;: differs from the expected text
</failure>
    </testcase>
    <testcase classname="capi_demo" name="capi_demo: led_function: Check_return_result #1"/>
    <testcase classname="capi_demo" name="capi_demo: led_function: Check_return_result #2"/>
    <testcase classname="capi_demo" name="wifi_function">
      <failure message="failed at line 1, run 1 of 1">its calls, under &quot;capi_demo: wifi_function&quot;:
PASS line 2 Check_return_result
FAIL lines 3-4 CheckTolvaDNSServerConfig_t
  Server2: result=&quot;8.8.8.8&quot; target=&quot;9.9.9.9&quot;: differs from the expected text
</failure>
    </testcase>
    <testcase classname="capi_demo" name="led_function"/>
    <testcase classname="capi_demo" name="(run)">
      <error message="failed rows: 1"/>
    </testcase>
  </testsuite>
  <testsuite name="crasher" tests="3" failures="1" errors="1">
    <testcase classname="crasher" name="Check_int"/>
    <testcase classname="crasher" name="CheckTolvaDNSServerConfig_t">
      <failure message="incomplete: the output ends where the CheckTolvaDNSServerConfig_t line of Server2 is due">line 2
incomplete: the output ends where the CheckTolvaDNSServerConfig_t line of Server2 is due
</failure>
    </testcase>
    <testcase classname="crasher" name="(run)">
      <error message="crashed: SIGSEGV"/>
    </testcase>
  </testsuite>
  <testsuite name="hang" tests="2" failures="0" errors="1">
    <testcase classname="hang" name="hang_row"/>
    <testcase classname="hang" name="(run)">
      <error message="timed out"/>
    </testcase>
  </testsuite>
  <testsuite name="flood" tests="2" failures="0" errors="1">
    <testcase classname="flood" name="Check_bool"/>
    <testcase classname="flood" name="(run)">
      <error message="passed, 4096 bytes dropped"/>
    </testcase>
  </testsuite>
  <testsuite name="lost x bit" tests="1" failures="0" errors="1">
    <testcase classname="lost x bit" name="(run)">
      <error message="not started: not executable"/>
    </testcase>
  </testsuite>
  <testsuite name="busprobe" tests="2" failures="0" errors="0">
    <testcase classname="busprobe" name="signal_capi_function"/>
    <testcase classname="busprobe" name="(run)"/>
  </testsuite>
)x";

const char kTotals[] =
    "TOTAL FAIL tests=6 pass=1 failed=5 calls=7 failed_calls=2 rows=4 failed_rows=1 problems=0 ";
const char kSummary[] =
    "SUMMARY FAIL inputs=1 unreadable=0 names=4 failing=1 calls=7 failed=2 malformed=0 stray=0\n";

std::string junit_of(const std::string &suites, int tests, int failures, int errors) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"capi-report\" tests=\"" +
           std::to_string(tests) + "\" failures=\"" + std::to_string(failures) + "\" errors=\"" +
           std::to_string(errors) + "\">\n" + suites + "</testsuites>\n";
}

Files in_folder(const std::string &dir, const Files &files) {
    Files placed = {{dir + "/.keep", ""}};
    for (const auto &f : files) placed.push_back({dir + "/" + f.first, f.second});
    return placed;
}

TEST(Session, EveryTestOfAResultsFolder) {
    const Files files = session_files(kTests, kSheet);
    std::string xml;
    const ProgramRun run = run_program({"--junit", "r.xml", "results"}, in_folder("results", files), "r.xml", &xml);
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("", run.err);
    EXPECT_EQ(std::string("SESSION results\n") + kText + kTotals + "results\n" + kSummary, run.out);
    EXPECT_EQ(junit_of(kJUnitSuites, 17, 3, 5), xml);
    EXPECT_EQ("", xml_fault(xml));
}

// A copy of the sheet that no longer holds what the summary says of a
// test's rows (its failed row now reads pass) fails that test, with why.
TEST(Session, RowsThatDisagreeWithTheSummaryFail) {
    Files files = session_files(kTests, kSheet);
    files[1].second.replace(files[1].second.find("failed"), 6, "pass");
    const ProgramRun run = run_program({"results"}, in_folder("results", files));
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("capi-report: results/capi.xls: the summary gives this test 2 rows from line 1, 1 failed; the sheet "
              "holds 2 there, 0 failed\n",
              run.err);
    EXPECT_NE(std::string::npos, run.out.find("TEST FAIL capi_demo\n"));
}

// crasher.out (the folder's fifth file) loses its data line; kernel lines
// come between the others, and before one on its line.
// Two gateways' folders: each test's suite named after its folder too.
TEST(Session, SuitesOfSeveralFoldersStayApart) {
    const Files files = session_files({kTests[0], kTests[5]}, kSheet);
    Files both = in_folder("gw1", files);
    for (const auto &f : in_folder("gw2", files)) both.push_back(f);
    std::string xml;
    const ProgramRun run = run_program({"--junit", "r.xml", "gw1", "gw2"}, both, "r.xml", &xml);
    EXPECT_EQ(1, run.status);
    std::string names;
    for (size_t at = 0; (at = xml.find("<testsuite name=\"", at)) != std::string::npos;) {
        at += 17;
        names += xml.substr(at, xml.find('"', at) - at) + "\n";
    }
    EXPECT_EQ("gw1/capi_demo\ngw1/busprobe\ngw2/capi_demo\ngw2/busprobe\n", names);
}

// Labelled sessions are named by their labels: a LABELS line, the JUnit
// suites' properties and names; a known failure's condition on a label
// holds for the session that has it only.
TEST(Session, LabelsNameTheSession) {
    Files both;
    const char *const labels[][2] = {{"board=gw1", "build=4.1"}, {"board=gw2", "build=4.2\t<&>"}};
    for (int g = 0; g < 2; ++g) {
        Files files = session_files({kTests[0], kTests[5]}, kSheet);
        size_t at = 15;  // after "TAP version 14\n"
        for (const char *label : labels[g]) {
            char line[512];
            const size_t n = capi_session_format_label(label, line, sizeof line);
            files[0].second.insert(at, line, n);
            at += n;
        }
        for (const auto &f : in_folder(g ? "gw2" : "gw1", files)) both.push_back(f);
    }
    both.push_back({"known.txt", "capi_demo/*\tboard=gw2*\tbuild=*\\x09*\tGW-9\n"});
    std::string xml;
    ProgramRun run = run_program({"--junit", "r.xml", "gw1", "gw2"}, both, "r.xml", &xml);
    EXPECT_EQ(0u, run.out.find("SESSION gw1\nLABELS board=gw1 build=4.1\nTEST FAIL capi_demo\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("SESSION gw2\nLABELS board=gw2 build=4.2\\x09<&>\nTEST FAIL"));
    EXPECT_NE(std::string::npos,
              xml.find("  <testsuite name=\"board=gw2 build=4.2\\x09&lt;&amp;&gt;/busprobe\" tests=\"2\" "
                       "failures=\"0\" errors=\"0\">\n    <properties>\n"
                       "      <property name=\"board\" value=\"gw2\"/>\n"
                       "      <property name=\"build\" value=\"4.2\\x09&lt;&amp;&gt;\"/>\n    </properties>\n"
                       "    <testcase classname=\"board=gw2 build=4.2\\x09&lt;&amp;&gt;/busprobe\" "
                       "name=\"signal_capi_function\"/>\n"))
        << xml;
    run = run_program({"--known", "known.txt", "gw1", "gw2"}, both);
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("FAIL board=gw1 build=4.1/capi_demo/capi_demo: wifi_function: CheckTolvaDNSServerConfig_t\n"
              "  - Server2: result=\"8.8.8.8\" target=\"9.9.9.9\": differs from the expected text\n"
              "FAIL board=gw1 build=4.1/capi_demo/wifi_function\n  - failed at line 1, run 1 of 1\n"
              "FAIL board=gw1 build=4.1/capi_demo/(run)\n  - failed rows: 1\n"
              "KNOWN board=gw2 build=4.2\\x09<&>/capi_demo/capi_demo: wifi_function: CheckTolvaDNSServerConfig_t\n"
              "  - known: GW-9\n"
              "KNOWN board=gw2 build=4.2\\x09<&>/capi_demo/wifi_function\n  - known: GW-9\n"
              "KNOWN board=gw2 build=4.2\\x09<&>/capi_demo/(run)\n  - known: GW-9\n"
              "SUMMARY FAIL cases=18 regression=0 new=0 still_failing=0 failing=3 known=3 fixed=0 gone=0 "
              "no_longer_seen=0 newly_failing=3\n",
              run.out);
    EXPECT_EQ(0, run_program({"--known", "known.txt", "gw2"}, both).status);
}

// The parts of the capture (capture_of): 0 the summary, 1 the sheet, 2 and
// 3 capi_demo's output and error, 4 and 5 the crasher's. A part's lines: a
// data and a parity line for its list of files (block 0), then its bytes.
bool of_part(const std::string &line, const char *kind, const char *part) {
    return line.find(std::string(" ") + kind + " " + part + " 1 ") != std::string::npos;
}

// Kernel lines between the lines and inside one of capi_demo's output;
// one of its data lines lost (rebuilt from its parity line).
std::string repaired(size_t i, const std::string &line) {
    if (i == 5) return "[    3.100000] eth0: link up\r\n" + line;
    if (of_part(line, "D", "2") && line.find(" D 2 1 1 ") != std::string::npos) {
        return line.substr(0, 40) + "[    3.200000] random: crng init done\r\n" + line.substr(40);
    }
    if (of_part(line, "D", "2") && line.find(" D 2 1 0 ") != std::string::npos) return "";
    return line;
}

// The crasher's output loses its data line and the parity line that would
// rebuild it: its bytes are lost, and its calls cannot be judged.
std::string lost(size_t, const std::string &line) {
    return of_part(line, "D", "4") || of_part(line, "P", "4") ? "" : line;
}

// A console capture: recovered and reported as the folder is, with what it
// took (the CAPTURE line); lines put together or rebuilt lose nothing; bytes
// lost are named on stderr and in the JUnit file, the calls there are not
// judged, and the status is 1.
TEST(Session, RecoveredFromAConsoleCapture) {
    const Files files = session_files(kTests, kSheet);
    std::string xml;
    ProgramRun run = run_program({"--junit", "r.xml", "--unpack", "results", "console.txt"},
                                 {{"console.txt", capture_of(files, as_is)}}, "r.xml", &xml);
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("", run.err);
    const std::string capture_line = "CAPTURE PASS lines_repaired=0 lines_rebuilt=0 console.txt\n";
    EXPECT_EQ(std::string("SESSION results\n") + capture_line + kText + kTotals + "results\n" + kSummary, run.out);
    EXPECT_EQ(junit_of(kJUnitSuites, 17, 3, 5), xml);

    run = run_program({"--unpack", "results", "console.txt"}, {{"console.txt", capture_of(files, repaired)}});
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("", run.err);
    EXPECT_EQ(std::string("SESSION results\nCAPTURE PASS lines_repaired=1 lines_rebuilt=1 console.txt\n") + kText +
                  kTotals + "results\n" + kSummary,
              run.out);

    run = run_program({"--junit", "r.xml", "--unpack", "results", "console.txt"},
                      {{"console.txt", capture_of(files, lost)}}, "r.xml", &xml);
    EXPECT_EQ(1, run.status);
    const std::string crasher_text =
        "  PASS line=1        Check_int\n"
        "  FAIL line=2        CheckTolvaDNSServerConfig_t\n"
        "    - incomplete: the output ends where the CheckTolvaDNSServerConfig_t line of Server2 is due\n";
    std::string text = kText;
    text.replace(text.find(crasher_text), crasher_text.size(), "");
    EXPECT_EQ("SESSION results\nCAPTURE FAIL lines_repaired=0 lines_rebuilt=0 console.txt\n" + text +
                  "TOTAL FAIL tests=6 pass=1 failed=5 calls=5 failed_calls=1 rows=4 failed_rows=1 problems=1 results\n"
                  "SUMMARY FAIL inputs=1 unreadable=0 names=4 failing=1 calls=5 failed=1 malformed=1 stray=1\n",
              run.out);
    EXPECT_EQ("console.txt:29: file crasher.out: bytes 0-85 lost\n"
              "results/crasher.out:1: bytes 0-85 of the output were lost on the console: calls there cannot be judged\n",
              run.err);
    std::string suites = kJUnitSuites;
    const size_t crasher = suites.find("  <testsuite name=\"crasher\"");
    suites.replace(crasher, suites.find("  <testsuite name=\"hang\"") - crasher,
                   R"x(  <testsuite name="crasher" tests="2" failures="0" errors="2">
    <testcase classname="crasher" name="(run)">
      <error message="crashed: SIGSEGV"/>
    </testcase>
    <testcase classname="crasher" name="(log)">
      <error message="1 problem">line 1: bytes 0-85 of the output were lost on the console: calls there cannot be judged
</error>
    </testcase>
  </testsuite>
)x");
    EXPECT_EQ(junit_of(R"x(  <testsuite name="results" tests="1" failures="0" errors="1">
    <testcase classname="results" name="(session)">
      <error message="1 problem">console.txt:29: file crasher.out: bytes 0-85 lost
</error>
    </testcase>
  </testsuite>
)x" + suites,
                       17, 2, 7),
              xml);
}

}  // namespace
