// The tools' side of the line grammar and of the treatments against what the
// checkers print: reading back inverts printing (escapes, "%d", "%lld",
// "%f"), the scalar lines' parts are those the primitives print, a step
// prints at most the lines its treatment says, and the judging rules give
// the verdicts the checkers give.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "capture.h"
#include "fieldaudit.h"
#include "fieldaudit_tools.h"

namespace {

using fieldaudit::Step;

std::string escaped(const std::string &bytes) {
    std::string out(fieldaudit::escaped_length(bytes.data(), bytes.size()), '\0');
    out.resize(fieldaudit::escape(bytes.data(), bytes.size(), &out[0]));
    return out;
}

std::string unescaped(const std::string &shown) {
    std::string out(shown.size(), '\0');
    out.resize(fieldaudit::unescape(shown.data(), shown.size(), &out[0]));
    EXPECT_EQ(out.size(), fieldaudit::unescaped_length(shown.data(), shown.size())) << shown;
    return out;
}

TEST(LineGrammar, UnescapeUndoesEscapeForEveryByte) {
    for (int c = 1; c < 256; ++c) {
        const std::string bytes = "a" + std::string(1, static_cast<char>(c)) + "z";
        const std::string shown = escaped(bytes);
        EXPECT_EQ(bytes, unescaped(shown)) << c;
        const bool control = c < 0x20 || c == 0x7f;
        EXPECT_EQ(control ? 2 + fieldaudit::kEscapedWidth : 3u, shown.size()) << c;
        if (control) {
            EXPECT_EQ(c, fieldaudit::escaped_at(shown.data(), shown.size(), 1)) << c;
        }
    }
}

TEST(LineGrammar, EscapesAndTheirInverseOverTexts) {
    const struct {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"a\nb", "a\\x0ab"},
        {"\t\r\x1f\x7f", "\\x09\\x0d\\x1f\\x7f"},
        {"\xff\xfe", "\xff\xfe"},  // bytes from 0x80 up print as they are
        {"100%\\", "100%\\"},      // a backslash prints as it is
        {std::string(24, '\x01'), [] {
             std::string s;
             for (int i = 0; i < 24; ++i) s += "\\x01";
             return s;
         }()},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.shown, escaped(c.bytes));
        EXPECT_EQ(c.bytes, unescaped(c.shown));
    }
}

TEST(LineGrammar, OnlyLowerCaseEscapesOfEscapableBytesAreReadBack) {
    const struct {
        const char *shown;
        int byte;
    } cases[] = {
        {"\\x0a", 0x0a}, {"\\x7f", 0x7f}, {"\\x80", 0x80}, {"\\xff", 0xff},  // GLib's handler shows 0x80 up so
        {"\\x00", -1},   {"\\x20", -1},   {"\\x41", -1},   {"\\x0A", -1},   {"\\X0a", -1},
        {"\\x0", -1},    {"\\xg0", -1},   {"x0a", -1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.byte, fieldaudit::escaped_at(c.shown, std::strlen(c.shown), 0)) << c.shown;
    }
    // A text that held those four characters reads back as the byte: the
    // output cannot tell the two apart.
    EXPECT_EQ("\n", unescaped(escaped("\\x0a")));
}

// As the checkers' conversions print numbers.
std::string printed_int(int n) {
    char text[32];
    std::snprintf(text, sizeof text, "%d", n);
    return text;
}
std::string printed_wide(long long n) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld", n);
    return text;
}
std::string printed_real(double d) {
    char text[400];
    std::snprintf(text, sizeof text, "%f", d);
    return text;
}

TEST(LineGrammar, IntegersReadBackAsPrintedWithinTheirWidth) {
    const long long values[] = {0, 1, -1, 7, 255, 256, 65535, 65536, INT_MAX, INT_MIN, LLONG_MAX, LLONG_MIN};
    for (long long v : values) {
        const std::string s = printed_wide(v);
        long long back = 12345;
        ASSERT_TRUE(fieldaudit::parse_integer(s.data(), s.size(), LLONG_MIN, LLONG_MAX, &back)) << s;
        EXPECT_EQ(v, back);
        EXPECT_EQ(v >= 0 && v <= 255, fieldaudit::parse_integer(s.data(), s.size(), 0, 255, nullptr)) << s;
        EXPECT_EQ(v >= INT_MIN && v <= INT_MAX, fieldaudit::parse_integer(s.data(), s.size(), INT_MIN, INT_MAX, nullptr))
            << s;
    }
    EXPECT_EQ(printed_wide(INT_MIN), printed_int(INT_MIN));
    const char *const never[] = {"", "-", "-0", "007", "+1", " 1", "1 ", "1.0", "0x10", "9223372036854775808",
                                 "-9223372036854775809", "99999999999999999999"};
    for (const char *s : never) {
        long long back = 12345;
        EXPECT_FALSE(fieldaudit::parse_integer(s, std::strlen(s), LLONG_MIN, LLONG_MAX, &back)) << s;
        EXPECT_EQ(12345, back) << s;
    }
}

TEST(LineGrammar, RealsReadBackAsPercentFPrintsThem) {
    const double values[] = {0.0, -0.0, 0.5, -0.25, 1e300, -DBL_MAX, DBL_MIN, 123456.789, INFINITY, -INFINITY, NAN};
    for (double v : values) {
        const std::string s = printed_real(v);
        EXPECT_TRUE(fieldaudit::parse_real(s.data(), s.size())) << s;
    }
    const char *const never[] = {"", "1", "1.5", "1.0000000", ".000000", "-.000000", "00.000000", "1e+05",
                                 "1,000000", "Inf", "1.00000x"};
    for (const char *s : never) EXPECT_FALSE(fieldaudit::parse_real(s, std::strlen(s))) << s;
}

TEST(LineGrammar, PossibleValuesFollowTheMembersConversionAndWidth) {
    Step text = {};
    text.member = Step::kText;
    text.width = 8;
    const struct {
        Step::Member member;
        const char *shown;
        bool possible;
    } cases[] = {
        {Step::kUnsigned8, "255", true},      {Step::kUnsigned8, "256", false},    {Step::kUnsigned8, "-1", false},
        {Step::kUnsigned16, "65535", true},   {Step::kUnsigned16, "65536", false}, {Step::kInt32, "-2147483648", true},
        {Step::kInt32, "2147483648", false},  {Step::kInt64, "-9223372036854775808", true},
        {Step::kDouble, "-0.250000", true},   {Step::kDouble, "1", false},         {Step::kInt32, "(null)", true},
        {Step::kRecord, "(null)", true},      {Step::kRecord, "1", false},
    };
    for (const auto &c : cases) {
        Step s = {};
        s.member = c.member;
        EXPECT_EQ(c.possible, fieldaudit::possible_value(s, c.shown, std::strlen(c.shown))) << c.shown;
    }
    // A text: at most its member's bytes once the escapes are undone.
    const std::string eight_controls = escaped(std::string(8, '\x02'));
    EXPECT_TRUE(fieldaudit::possible_value(text, eight_controls.data(), eight_controls.size()));
    EXPECT_TRUE(fieldaudit::possible_value(text, "12345678", 8));
    EXPECT_FALSE(fieldaudit::possible_value(text, "123456789", 9));
    const std::string nine = eight_controls + "x";
    EXPECT_FALSE(fieldaudit::possible_value(text, nine.data(), nine.size()));
}

TEST(LineGrammar, ScalarLinePartsAreThoseThePrimitivesPrint) {
    int (*const numbers[])(int, int) = {Check_bool, Check_int, Check_return_result};
    ASSERT_EQ(sizeof numbers / sizeof numbers[0] + 1, fieldaudit::kScalarLineCount);
    for (size_t k = 0; k < fieldaudit::kScalarLineCount; ++k) {
        const fieldaudit::ScalarLine &s = fieldaudit::kScalarLines[k];
        SCOPED_TRACE(s.name);
        PrintCapture out;
        if (s.text) {
            Check_char("a\nb", nullptr);
            EXPECT_EQ(std::string(s.prefix) + "a\\x0ab" + s.middle + fieldaudit::kNullMarker + "\n", out.text());
        } else {
            numbers[k](INT_MIN, -7);
            EXPECT_EQ(std::string(s.prefix) + printed_int(INT_MIN) + s.middle + "-7\n", out.text());
        }
        EXPECT_EQ(std::string(s.name) + ",", std::string(s.prefix).substr(0, std::strlen(s.name) + 1));
    }
}

TEST(LineGrammar, FormatTableFollowsTheExportedMap) {
    for (unsigned i = 0; i < fieldaudit::kFormatCount; ++i) {
        const fieldaudit::Format &f = fieldaudit::kFormats[i];
        EXPECT_STREQ(DATA_FORMAT_MAP[i].name, f.name);
        EXPECT_EQ(i, DATA_FORMAT_MAP[i].index);
        EXPECT_EQ(static_cast<int>(i), find_data_format_index(f.name));
        ASSERT_NE(nullptr, *f.pattern) << f.name;
        EXPECT_EQ(0, std::strncmp(f.variable, "reg", 3)) << f.variable;
    }
    EXPECT_EQ(&regMac, fieldaudit::kFormats[0].pattern);
    EXPECT_EQ(&regType, fieldaudit::kFormats[fieldaudit::kFormatCount - 1].pattern);
    EXPECT_EQ(nullptr, DATA_FORMAT_MAP[fieldaudit::kFormatCount].name);
}

// Lines printed when both records are null: every field line shows the null
// marker and every validation fails, but a format check behind a gate,
// which a null status keeps closed, prints its line only.
size_t lines_on_null_records(const fieldaudit::Checker &c) {
    Step steps[fieldaudit::kMaxSteps];
    const size_t n = c.describe(steps, fieldaudit::kMaxSteps);
    size_t lines = 0;
    for (size_t i = 0; i < n; ++i) {
        const Step &s = steps[i];
        if (s.kind == Step::kSub) {
            lines += lines_on_null_records(*s.sub);
        } else {
            lines += fieldaudit::most_lines(s) - (s.gate && s.failure ? 1 : 0);
        }
    }
    return lines;
}

TEST(Treatments, StepsPrintTheLinesTheirTreatmentSays) {
    for (size_t k = 0; k < fieldaudit::kCheckerCount; ++k) {
        const fieldaudit::Checker &c = fieldaudit::kCheckers[k];
        if (!c.has_target) continue;  // the walk reads no entry through a null pointer
        SCOPED_TRACE(c.name);
        PrintCapture out;
        c.check(nullptr, nullptr);
        const std::string text = out.text();
        EXPECT_EQ(lines_on_null_records(c), static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
        EXPECT_LE(lines_on_null_records(c), fieldaudit::most_lines(c));
    }
    // The rule itself, per kind: field line, outcome line, failure line.
    Step s = {};
    s.failure = "x failed\n";
    const struct {
        Step::Kind kind;
        size_t with_failure;
    } rules[] = {{Step::kShow, 1}, {Step::kDomain, 3}, {Step::kFormat, 2}, {Step::kEqualText, 2}, {Step::kEqualNumber, 2}};
    for (const auto &r : rules) {
        s.kind = r.kind;
        s.failure = "x failed\n";
        EXPECT_EQ(r.with_failure, fieldaudit::most_lines(s)) << r.kind;
        s.failure = nullptr;
        EXPECT_EQ(r.kind == Step::kDomain ? 2u : 1u, fieldaudit::most_lines(s)) << r.kind;
    }
}

TEST(Treatments, DomainCheckPrintsThenGivesTheVerdictOfAdmits) {
    const int values[] = {-1, 0, 1, 2, 5, 100, 101};
    const int counts[] = {-3, 0, 1, 2, 7, 8, 1000};
    for (unsigned selector = 0; selector <= fieldaudit::kDomainCount; ++selector) {
        const fieldaudit::Domain d = fieldaudit::select_domain(selector);
        for (int count : counts) {
            const int admitted = fieldaudit::domain_admitted(d, count);
            EXPECT_EQ(count < 0 ? 0 : std::min(count, d.length), admitted);
            for (int v : values) {
                bool listed = false;
                for (int i = 0; i < admitted; ++i) listed = listed || d.entries[i] == v;
                EXPECT_EQ(listed, fieldaudit::domain_admits(d, count, v));
                PrintCapture out;
                EXPECT_EQ(listed ? 1 : 0, Check_data_int(v, selector, count));
                EXPECT_EQ(listed ? FIELDAUDIT_DOMAIN_PASS_LINE : FIELDAUDIT_DOMAIN_FAILED_LINE, out.text());
            }
        }
    }
}

TEST(Treatments, TroubleNamesTheResultFirstAndANullBeforeAnUnterminatedText) {
    using fieldaudit::Side;
    const Side fine = {false, true}, null = {true, true}, open = {false, false};
    EXPECT_EQ(fieldaudit::kNoTrouble, fieldaudit::trouble(fine, fine));
    EXPECT_EQ(fieldaudit::kResultNull, fieldaudit::trouble(null, null));
    EXPECT_EQ(fieldaudit::kTargetNull, fieldaudit::trouble(open, null));
    EXPECT_EQ(fieldaudit::kResultUnterminated, fieldaudit::trouble(open, open));
    EXPECT_EQ(fieldaudit::kTargetUnterminated, fieldaudit::trouble(fine, open));
}

}  // namespace
