// capi-report --cases: every case one line of four tab-separated fields,
// whatever bytes the names hold, and the escapes undone give the bytes back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.h"
#include "text.h"

namespace {

using capireport::kLog;
using capireport::kSheet;

std::vector<std::vector<std::string>> parsed(const std::string &cases) {
    std::vector<std::vector<std::string>> lines;
    size_t start = 0;
    for (size_t end; (end = cases.find('\n', start)) != std::string::npos; start = end + 1) {
        std::vector<std::string> fields;
        const std::string line = cases.substr(start, end - start);
        size_t at = 0;
        for (size_t tab; (tab = line.find('\t', at)) != std::string::npos; at = tab + 1) {
            fields.push_back(line.substr(at, tab - at));
        }
        fields.push_back(line.substr(at));
        for (std::string &field : fields) {
            std::vector<char> bytes(field.size() + 1);
            const size_t n = capi_unescape(field.data(), field.size(), bytes.data(), bytes.size());
            EXPECT_NE(static_cast<size_t>(-1), n) << field;
            field.assign(bytes.data(), n == static_cast<size_t>(-1) ? 0 : n);
        }
        lines.push_back(fields);
    }
    EXPECT_EQ(start, cases.size());
    return lines;
}

TEST(CaseList, ParsesBackToTheSuitesAndCases) {
    // A path with a tab and a byte from 0x80 up; names with a backslash,
    // UTF-8, a "#"; a log whose call fails with a value holding a backslash.
    const Outcome o = report_of({
        {kSheet, "gw1/caps\t\xe9.xls", "x\\y \t pass\n\xc3\xa9 #2 \t failed\nx\\y \t pass\nbad\n"},
        {kLog, "run.log", "head\\ing\nCheck_int,ret=1,tar=1\nCheck_bool,ret=0,tar=1\n"},
    });
    EXPECT_EQ(
        "caps\\x09\\xe9.xls\tx\\\\y #1\tpass\t\n"
        "caps\\x09\\xe9.xls\t\\xc3\\xa9 #2\tfail\tfailed at line 2, run 1 of 1\n"
        "caps\\x09\\xe9.xls\tx\\\\y #2\tpass\t\n"
        "caps\\x09\\xe9.xls\t(sheet)\terror\t1 problem\n"
        "run.log\thead\\\\ing: Check_int\tpass\t\n"
        "run.log\thead\\\\ing: Check_bool\tfail\tret: differs from tar\n",
        o.files.at("cases"));
    const std::vector<std::vector<std::string>> want = {
        {"caps\t\xe9.xls", "x\\y #1", "pass", ""},
        {"caps\t\xe9.xls", "\xc3\xa9 #2", "fail", "failed at line 2, run 1 of 1"},
        {"caps\t\xe9.xls", "x\\y #2", "pass", ""},
        {"caps\t\xe9.xls", "(sheet)", "error", "1 problem"},
        {"run.log", "head\\ing: Check_int", "pass", ""},
        {"run.log", "head\\ing: Check_bool", "fail", "ret: differs from tar"},
    };
    EXPECT_EQ(want, parsed(o.files.at("cases")));
}

}  // namespace
