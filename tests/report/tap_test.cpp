// The TAP output: a test point per suite with its cases as a subtest, whole
// and byte for byte; names that would begin a directive, texts YAML must
// escape.
#include <gtest/gtest.h>

#include <string>

#include "support.h"

namespace {

using capireport::kLog;
using capireport::kSheet;

TEST(Tap, SuitesAsSubtestsOfTheWholeReport) {
    const Outcome o = report_of({
        {kSheet, "gw1/capi.xls", "wifi \t pass\nled #2 \t failed\nwifi \t pass\njunk\n"},
        {kLog, "run.log",
         "capi_demo: dns\nCheck_return_result,ret=0,tar=0\n"
         "CheckTolvaDNSServerConfig_t,result->Server1=\"a\\x01\",target->Server1=b\\\\\n"
         "CheckTolvaDNSServerConfig_t,result->Server2=x,target->Server2=x\n"},
        {kLog, "empty.log", "hello\n"},
    });
    EXPECT_EQ(R"x(TAP version 14
1..3
# Subtest: capi.xls
    1..4
    ok 1 - wifi \#1
    not ok 2 - led \#2
      ---
      severity: fail
      message: "failed at line 2, run 1 of 1"
      ...
    ok 3 - wifi \#2
    not ok 4 - (sheet)
      ---
      severity: error
      message: "1 problem"
      details:
        - "line 4: no \" \\t \" between name and outcome"
      ...
not ok 1 - capi.xls
# Subtest: run.log
    1..2
    ok 1 - capi_demo: dns: Check_return_result
    not ok 2 - capi_demo: dns: CheckTolvaDNSServerConfig_t
      ---
      severity: fail
      message: "Server1: differs from the expected text"
      details:
        - "lines 3-4"
        - "Server1: result=\"\"a\\x01\"\" target=\"b\\\\\": differs from the expected text"
      ...
not ok 2 - run.log
# Subtest: empty.log
    1..1
    not ok 1 - (log)
      ---
      severity: error
      message: "1 problem"
      details:
        - "no checker calls"
      ...
not ok 3 - empty.log
)x",
              o.files.at("tap"));
}

}  // namespace
