// The report on result sheets: counts per row name, the latest outcome, the
// total line, malformed rows on stderr, exit status; whole outputs compared.
#include <gtest/gtest.h>

#include <string>

#include "support.h"

namespace {

using capireport::kSheet;

TEST(Sheet, RowsTotalsMalformedLinesAndStatus) {
    const std::string long_name(4096 - 7, 'n');  // the row is exactly 4096 bytes
    const struct {
        const char *what;
        std::string bytes;
        std::string rows;  // the lines between SHEET and TOTAL
        std::string total, err;
        int status;
    } cases[] = {
        {"latest outcome decides, names in order of first row",
         "wifi \t pass\nsignal_capi_function \t failed\nwifi \t failed\nsignal_capi_function \t pass\n",
         "  FAIL runs=2    pass=1    failed=1    wifi\n    - failed at line 3, run 2 of 2\n"
         "  PASS runs=2    pass=1    failed=1    signal_capi_function\n    - failed at line 2, run 1 of 2\n",
         "TOTAL FAIL rows=4 names=2 pass=2 failed=2 failing=1 malformed=0 ", "", 1},
        {"all pass; CRLF line ends and a missing last newline are read as rows",
         "a b \t pass\r\na b \t pass\nc \t pass", "  PASS runs=2    pass=2    failed=0    a b\n  PASS runs=1    pass=1    failed=0    c\n",
         "TOTAL PASS rows=3 names=2 pass=3 failed=0 failing=0 malformed=0 ", "", 0},
        {"every kind of malformed line, each skipped and counted",
         std::string("ok \t pass\n\nx\tpass\nx \tpass\nx\t pass\n \t pass\nx\x01y \t pass\nx") + '\0' +
             "y \t pass\nx \t PASS\nx \t pass \nx \t passed\nx \t pass \t pass\nx \t pass\r\r\nx\ry \t failed\n" +
             std::string(5000, 'z') + " \t pass\n",
         "  PASS runs=1    pass=1    failed=0    ok\n", "TOTAL FAIL rows=1 names=1 pass=1 failed=0 failing=0 malformed=14 ",
         "s:2: empty line\ns:3: no \" \\t \" between name and outcome\ns:4: no \" \\t \" between name and outcome\n"
         "s:5: no \" \\t \" between name and outcome\ns:6: empty name\ns:7: control byte in name\n"
         "s:8: control byte in name\ns:9: outcome is neither \"pass\" nor \"failed\"\n"
         "s:10: outcome is neither \"pass\" nor \"failed\"\ns:11: outcome is neither \"pass\" nor \"failed\"\n"
         "s:12: outcome is neither \"pass\" nor \"failed\"\ns:13: outcome is neither \"pass\" nor \"failed\"\n"
         "s:14: control byte in name\ns:15: line longer than 4096 bytes\n",
         1},
        {"a row of exactly 4096 bytes is kept; names keep spaces and non-ASCII bytes",
         long_name + " \t pass\n \xff\xfe name  \t failed\n",
         "  PASS runs=1    pass=1    failed=0    " + long_name + "\n  FAIL runs=1    pass=0    failed=1     \xff\xfe name \n"
         "    - failed at line 2, run 1 of 1\n",
         "TOTAL FAIL rows=2 names=2 pass=1 failed=1 failing=1 malformed=0 ", "", 1},
        {"an empty sheet fails", "", "", "TOTAL FAIL rows=0 names=0 pass=0 failed=0 failing=0 malformed=0 ",
         "capi-report: s: no rows\n", 1},
        {"only malformed lines", "junk", "", "TOTAL FAIL rows=0 names=0 pass=0 failed=0 failing=0 malformed=1 ",
         "s:1: no \" \\t \" between name and outcome\ncapi-report: s: no rows\n", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        for (size_t piece : {0, 1, 7}) {
            const Outcome o = report_of({{kSheet, "s", c.bytes}}, piece);
            const size_t summary = o.out.find("SUMMARY ");
            EXPECT_EQ("SHEET s\n" + c.rows + c.total + "s\n", o.out.substr(0, summary));
            EXPECT_EQ(c.status ? "SUMMARY FAIL" : "SUMMARY PASS", o.out.substr(summary, 12));
            EXPECT_EQ(c.err, o.err);
            EXPECT_EQ(c.status, o.status);
        }
    }
}

TEST(Sheet, ManyGatewaysBinaryDataAndCappedProblems) {
    std::string junk, binary;
    for (int i = 0; i < 250; ++i) junk += "junk\n";
    // Random bytes with NULs, CRs and tabs, among good rows: every line is a
    // row or a malformed line, and the good rows are all found.
    GRand *rand = g_rand_new_with_seed(7);
    for (int i = 0; i < 400; ++i) {
        if (i % 4 == 0) {
            binary += "good \t pass\n";
            continue;
        }
        for (int k = g_rand_int_range(rand, 0, 300); k > 0; --k) {
            const char b = static_cast<char>(g_rand_int_range(rand, 0, 256));
            binary += b == '\n' ? '\t' : b;
        }
        binary += '\n';
    }
    g_rand_free(rand);
    const Outcome o = report_of({{kSheet, "gw1.xls", "a \t pass\nb \t pass\n"},
                                 {kSheet, "lab/gw2.xls", "a \t failed\na \t pass\n"},
                                 {kSheet, "gw3.xls", "a \t pass\n" + junk},
                                 {kSheet, "bin", binary}},
                                13);
    EXPECT_EQ("SHEET gw1.xls\n"
              "  PASS runs=1    pass=1    failed=0    a\n"
              "  PASS runs=1    pass=1    failed=0    b\n"
              "TOTAL PASS rows=2 names=2 pass=2 failed=0 failing=0 malformed=0 gw1.xls\n"
              "SHEET lab/gw2.xls\n"
              "  PASS runs=2    pass=1    failed=1    a\n"
              "    - failed at line 1, run 1 of 2\n"
              "TOTAL PASS rows=2 names=1 pass=1 failed=1 failing=0 malformed=0 lab/gw2.xls\n"
              "SHEET gw3.xls\n"
              "  PASS runs=1    pass=1    failed=0    a\n"
              "TOTAL FAIL rows=1 names=1 pass=1 failed=0 failing=0 malformed=250 gw3.xls\n"
              "SHEET bin\n"
              "  PASS runs=100  pass=100  failed=0    good\n"
              "TOTAL FAIL rows=100 names=1 pass=100 failed=0 failing=0 malformed=300 bin\n"
              "SUMMARY FAIL inputs=4 unreadable=0 names=5 failing=0 calls=0 failed=0 malformed=550 stray=0\n",
              o.out);
    // The first 100 problems of each input are shown, the rest counted.
    EXPECT_EQ(0u, o.err.find("gw3.xls:2: no \" \\t \" between name and outcome\n"));
    EXPECT_NE(std::string::npos, o.err.find("gw3.xls:101: no"));
    EXPECT_EQ(std::string::npos, o.err.find("gw3.xls:102:"));
    EXPECT_NE(std::string::npos, o.err.find("\ncapi-report: gw3.xls: 150 more problems not shown\nbin:"));
    const std::string last = "\ncapi-report: bin: 200 more problems not shown\n";
    EXPECT_EQ(o.err.size() - last.size(), o.err.find(last));
    EXPECT_EQ(1, o.status);
}

}  // namespace
