// The hand-written parts of the reference documents agree with the library:
// the example values of every format pass and fail as documented, under the
// standard rule and under the strict rule the document states; the formats
// said to pass every non-empty text do. The generated sections (the checker
// tables among them, written from the steps that the Describe tests tie to
// the printed lines) are compared with the code by docs_current.
#include <gtest/gtest.h>

#include <glib.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fieldaudit.h"
#include "fieldaudit_tools.h"

namespace {

std::string read_doc(const char *name) {
    std::ifstream in(std::string(TOLVA_DOCS_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::vector<std::string> lines_of(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The cells of a table row, trimmed, without code quotes and link targets.
std::vector<std::string> cells(const std::string &row) {
    std::vector<std::string> out;
    std::istringstream in(row.substr(1));
    for (std::string cell; std::getline(in, cell, '|');) {
        if (cell.find("](") != std::string::npos) cell.erase(cell.find("]("));
        std::string plain;
        for (char c : cell) {
            if (c != '`' && c != '[') plain += c;
        }
        const size_t b = plain.find_first_not_of(' ');
        out.push_back(b == std::string::npos ? "" : plain.substr(b, plain.find_last_not_of(' ') - b + 1));
    }
    return out;
}

bool is_body_row(const std::string &line) { return line.compare(0, 2, "| ") == 0 && line.compare(0, 4, "|---") != 0; }

// The example table of the formats: name, three values, three strict outcomes.
struct Example {
    std::string name;
    std::vector<std::string> values;
    std::vector<std::string> strict;
};

std::vector<Example> examples(const std::string &doc) {
    std::vector<Example> out;
    const std::vector<std::string> lines = lines_of(doc);
    size_t i = 0;
    while (i < lines.size() && lines[i].compare(0, 18, "| Format | Admits ") != 0) ++i;
    for (i += 2; i < lines.size() && is_body_row(lines[i]); ++i) {
        const std::vector<std::string> c = cells(lines[i]);
        if (c.size() != 6) {
            ADD_FAILURE() << "not six cells: " << lines[i];
            continue;
        }
        Example e{c[0], {c[2], c[3], c[4] == "(empty)" ? "" : c[4]}, {}};
        std::istringstream words(c[5]);
        for (std::string w; std::getline(words, w, ',');) e.strict.push_back(w.substr(w.find_first_not_of(' ')));
        out.push_back(e);
    }
    return out;
}

// The strict rule as formats.md states it: the format's pattern (the one the
// generated pattern list shows) matches the whole value, up to its very end,
// and the match is not empty.
int strict_check(const std::string &value, const std::string &format) {
    const std::string pattern = *fieldaudit::kFormats[find_data_format_index(format.c_str())].pattern;
    if (value.empty() || !g_utf8_validate(value.c_str(), -1, nullptr)) return 0;
    GRegex *re = g_regex_new(("(?:" + pattern + ")\\z").c_str(), static_cast<GRegexCompileFlags>(0),
                             static_cast<GRegexMatchFlags>(0), nullptr);
    if (re == nullptr) return 0;
    const int verdict = g_regex_match(re, value.c_str(),
                                      static_cast<GRegexMatchFlags>(G_REGEX_MATCH_ANCHORED | G_REGEX_MATCH_NOTEMPTY),
                                      nullptr);
    g_regex_unref(re);
    return verdict;
}

TEST(Docs, FormatExamplesPassAndFailAsDocumented) {
    const std::string doc = read_doc("formats.md");
    std::set<std::string> named, documented;
    for (const DataFormatMap_t &f : DATA_FORMAT_MAP) {
        if (f.name != nullptr) named.insert(f.name);
    }
    for (const Example &e : examples(doc)) {
        SCOPED_TRACE(e.name);
        EXPECT_TRUE(documented.insert(e.name).second);
        ASSERT_EQ(1u, named.count(e.name));
        ASSERT_EQ(3u, e.strict.size());
        const int expected[] = {1, 1, 0};
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(expected[i], Check_data_format(e.values[i].c_str(), e.name.c_str())) << e.values[i];
            EXPECT_EQ(e.strict[i] == "pass", strict_check(e.values[i], e.name) == 1) << e.values[i];
            EXPECT_TRUE(e.strict[i] == "pass" || e.strict[i] == "fail") << e.strict[i];
        }
    }
    EXPECT_EQ(named, documented);
    EXPECT_EQ(static_cast<size_t>(fieldaudit::kFormatCount), documented.size());
}

TEST(Docs, FormatsSaidToPassEveryNonEmptyTextDo) {
    const std::string doc = read_doc("formats.md");
    const size_t begin = doc.find("### Formats that pass every non-empty text");
    ASSERT_NE(std::string::npos, begin);
    const std::string section = doc.substr(begin, doc.find("\n#", begin + 1) - begin);
    std::set<std::string> listed, failing_only_empty;
    for (size_t q = section.find('`'); q != std::string::npos; q = section.find('`', q + 1)) {
        const size_t close = section.find('`', q + 1);
        listed.insert(section.substr(q + 1, close - q - 1));
        q = close;
    }
    for (const Example &e : examples(doc)) {
        if (e.values[2].empty()) failing_only_empty.insert(e.name);
    }
    EXPECT_EQ(15u, listed.size());
    EXPECT_EQ(failing_only_empty, listed);
    for (const std::string &name : listed) {
        for (const char *text : {"?", " ", "\x01", "z9", "\xc3\xa9"}) {
            EXPECT_EQ(1, Check_data_format(text, name.c_str())) << name << " " << text;
        }
    }
}

}  // namespace
