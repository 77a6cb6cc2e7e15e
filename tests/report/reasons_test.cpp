// The reasons the report gives, as docs/output.md lists them: its table is
// the judge's own (report/judge.cpp), row for row.
#include <glib.h>
#include <gtest/gtest.h>

#include <string>

#include "judge.h"

namespace {

const char kBegin[] = "<!-- reasons: the table of report/judge.cpp -->\n";
const char kEnd[] = "<!-- end of reasons -->\n";

TEST(Reasons, DocumentedAsTheJudgeGivesThem) {
    std::string table = "| Reason | What it tells |\n|---|---|\n";
    for (const capireport::Reason &r : capireport::kReasons) {
        table += std::string("| `") + r.text + "` | " + r.meaning + " |\n";
    }
    gchar *bytes = nullptr;
    ASSERT_TRUE(g_file_get_contents(CAPI_REPORT_DOCS "/output.md", &bytes, nullptr, nullptr));
    const std::string doc(bytes);
    g_free(bytes);
    const size_t begin = doc.find(kBegin);
    const size_t end = doc.find(kEnd);
    ASSERT_NE(std::string::npos, begin);
    ASSERT_NE(std::string::npos, end);
    const size_t start = begin + sizeof kBegin - 1;
    EXPECT_EQ(table, doc.substr(start, end - start))
        << "docs/output.md lists the reasons of report/judge.cpp: copy the table above";
}

// Each value goes into its "<name>" in turn, whatever it holds.
TEST(Reasons, ValuesTakeTheirPlaces) {
    const struct {
        capireport::ReasonId id;
        const char *a, *b, *c;
        const char *text;
    } cases[] = {
        {capireport::kResultNull, nullptr, nullptr, nullptr, "result is null"},
        {capireport::kResultUnterminated, "8", nullptr, nullptr,
         "result is unterminated: it fills all 8 bytes of its member"},
        {capireport::kNotAFormatName, "<x>", nullptr, nullptr, "\"<x>\" is not a format name"},
        {capireport::kNotInDomain, "2", "3", "0, 1, 2", "not in domain: selector 2 with count 3 admits 0, 1, 2"},
        {capireport::kLineWhereDue, "7", "failure line of IP", nullptr, "line 7 comes where the failure line of IP is due"},
    };
    for (const auto &c : cases) {
        char *text = capireport::reason(c.id, c.a, c.b, c.c);
        EXPECT_STREQ(c.text, text);
        g_free(text);
    }
}

}  // namespace
