// The JUnit XML: suites, cases, counts and messages byte for byte, and a
// well-formed file whatever bytes the inputs hold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.h"

namespace {

using capireport::kLog;
using capireport::kSheet;

const std::vector<Source> kSources = {
    // Two sheets of one base name: their suites take the paths.
    {kSheet, "gw1/capi.xls", "wifi \t pass\nsignal \t failed\nwifi \t failed\n"},
    {kSheet, "gw2/capi.xls", "wifi \t pass\njunk\n"},
    // Markup characters, bytes that are not UTF-8, a C1 control character,
    // U+FFFE, an encoded surrogate, "]]>"; a path with control bytes.
    {kSheet, "dir/\x01odd\x7f.xls",
     "<&>\"' \t pass\n\xff\xfe \t failed\n\xc2\x85x \t pass\n\xef\xbf\xbey \t pass\n\xed\xa0\x80z \t pass\na]]>b \t pass\n"},
    {kLog, "dir/run.log", "Check_int,ret=1,tar=1\nhello\nCheck_bool,ret=0,tar=1\nfailed!!!!!!!!!!!!!\n"},
    {kLog, "\xff.log",
     "CheckTolvaStrArray_t,result->str=<\xff&\xc2\x9f,target->str=\xef\xbf\xbf]]>\n"
     "CheckTolvaDNSServerConfig_t,result->Server1=\\x01\"',target->Server1=\\x7f\n"
     "CheckTolvaDNSServerConfig_t,result->Server2=,target->Server2=\n"},
};

TEST(JUnit, SuitesCasesCountsAndMessages) {
    const std::string xml = report_of(kSources).junit;
    EXPECT_EQ("", xml_fault(xml));
    EXPECT_EQ(R"x(<?xml version="1.0" encoding="UTF-8"?>
<testsuites name="capi-report" tests="16" failures="7" errors="1">
  <testsuite name="gw1/capi.xls" tests="3" failures="2" errors="0">
    <testcase classname="gw1/capi.xls" name="wifi #1"/>
    <testcase classname="gw1/capi.xls" name="signal">
      <failure message="failed at line 2, run 1 of 1"/>
    </testcase>
    <testcase classname="gw1/capi.xls" name="wifi #2">
      <failure message="failed at line 3, run 2 of 2"/>
    </testcase>
  </testsuite>
  <testsuite name="gw2/capi.xls" tests="2" failures="0" errors="1">
    <testcase classname="gw2/capi.xls" name="wifi"/>
    <testcase classname="gw2/capi.xls" name="(sheet)">
      <error message="1 problem">line 2: no &quot; \t &quot; between name and outcome
</error>
    </testcase>
  </testsuite>
  <testsuite name="\x01odd\x7f.xls" tests="6" failures="1" errors="0">
    <testcase classname="\x01odd\x7f.xls" name="&lt;&amp;&gt;&quot;&apos;"/>
    <testcase classname="\x01odd\x7f.xls" name=")x" "\xef\xbf\xbd\xef\xbf\xbd" R"x(">
      <failure message="failed at line 2, run 1 of 1"/>
    </testcase>
    <testcase classname="\x01odd\x7f.xls" name="\u0085x"/>
    <testcase classname="\x01odd\x7f.xls" name="\ufffey"/>
    <testcase classname="\x01odd\x7f.xls" name=")x" "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd" R"x(z"/>
    <testcase classname="\x01odd\x7f.xls" name="a]]&gt;b"/>
  </testsuite>
  <testsuite name="run.log" tests="3" failures="2" errors="0">
    <testcase classname="run.log" name="Check_int"/>
    <testcase classname="run.log" name="hello: Check_bool">
      <failure message="ret: differs from tar">line 3
ret: result=&quot;0&quot; target=&quot;1&quot;: differs from tar
</failure>
    </testcase>
    <testcase classname="run.log" name="hello: Check_data_int">
      <failure message="value: not in its domain (a direct domain check&apos;s line shows no value or table)">line 4
value: not in its domain (a direct domain check&apos;s line shows no value or table)
</failure>
    </testcase>
  </testsuite>
  <testsuite name=")x" "\xef\xbf\xbd" R"x(.log" tests="2" failures="2" errors="0">
    <testcase classname=")x" "\xef\xbf\xbd" R"x(.log" name="CheckTolvaStrArray_t">
      <failure message="str: differs from the expected text">line 1
str: result=&quot;&lt;)x" "\xef\xbf\xbd" R"x(&amp;\u009f&quot; target=&quot;\uffff]]&gt;&quot;: differs from the expected text
</failure>
    </testcase>
    <testcase classname=")x" "\xef\xbf\xbd" R"x(.log" name="CheckTolvaDNSServerConfig_t">
      <failure message="Server1: differs from the expected text">lines 2-3
Server1: result=&quot;\x01&quot;&apos;&quot; target=&quot;\x7f&quot;: differs from the expected text
</failure>
    </testcase>
  </testsuite>
</testsuites>
)x",
              xml);
}

TEST(JUnit, WellFormedWhateverTheBytesOfTheInputs) {
    std::vector<Source> sources = kSources;
    GRand *rand = g_rand_new_with_seed(99);
    for (int i = 0; i < 20; ++i) {
        std::string bytes;
        for (int k = g_rand_int_range(rand, 0, 3000); k > 0; --k) {
            bytes += static_cast<char>(g_rand_int_range(rand, 0, 256));
            if (g_rand_int_range(rand, 0, 50) == 0) bytes += " \t failed\n";
        }
        sources.push_back({i % 2 ? kLog : kSheet, "random" + std::to_string(i), bytes});
    }
    g_rand_free(rand);
    const std::string xml = report_of(sources).junit;
    EXPECT_EQ("", xml_fault(xml));
    size_t suites = 0;
    for (size_t at = 0; (at = xml.find("<testsuite ", at)) != std::string::npos; ++at) ++suites;
    EXPECT_EQ(sources.size(), suites);
}

}  // namespace
