// The checkers' steps as the kit's tools read them agree with what the
// checkers print: every field line in order, each from the member the step
// names, sub-checkers where the steps put them; and every exported checker
// is described.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "capture.h"
#include "describe.h"

namespace {

using fieldaudit::Checker;
using fieldaudit::Step;

std::vector<Step> steps_of(const Checker &c) {
    std::vector<Step> steps(fieldaudit::kMaxSteps);
    const size_t n = c.describe(steps.data(), steps.size());
    EXPECT_LE(n, fieldaudit::kMaxSteps) << c.name;
    steps.resize(n);
    return steps;
}

// Records made for one run; kept until the run is over.
struct Storage {
    std::vector<std::unique_ptr<char[]>> blocks;
    char *block(size_t size) {
        blocks.emplace_back(new char[size]());
        return blocks.back().get();
    }
};

// Writes a distinct value into each member that the checker's steps name, on
// both sides, and appends the field lines those values must print.
void plant(const Checker &c, char *r, char *t, Storage &store, std::vector<std::string> &lines) {
    const std::vector<Step> steps = steps_of(c);
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step &s = steps[i];
        char *rm = r + s.offset;
        char *tm = t ? t + s.offset : nullptr;
        if (s.kind == Step::kSub) {
            char *rs = rm;
            char *ts = tm;
            if (s.member == Step::kRecordPointer) {
                rs = store.block(s.sub->size);
                ts = store.block(s.sub->size);
                std::memcpy(rm, &rs, sizeof rs);
                std::memcpy(tm, &ts, sizeof ts);
            }
            plant(*s.sub, rs, ts, store, lines);
            continue;
        }
        std::string rv = "r" + std::to_string(i);
        std::string tv = "t" + std::to_string(i);
        switch (s.member) {
        case Step::kText:
            std::memcpy(rm, rv.c_str(), rv.size() + 1);
            if (tm) std::memcpy(tm, tv.c_str(), tv.size() + 1);
            break;
        case Step::kStringRecord: {
            char *rs = store.block(sizeof(TolvaStrArray_t));
            char *ts = store.block(sizeof(TolvaStrArray_t));
            std::memcpy(rs, rv.c_str(), rv.size() + 1);
            std::memcpy(ts, tv.c_str(), tv.size() + 1);
            std::memcpy(rm, &rs, sizeof rs);
            std::memcpy(tm, &ts, sizeof ts);
            break;
        }
        case Step::kUnsigned8: {
            const uint8_t a = static_cast<uint8_t>(100 + i), b = static_cast<uint8_t>(200 + i);
            std::memcpy(rm, &a, 1);
            if (tm) std::memcpy(tm, &b, 1);
            rv = std::to_string(a);
            tv = tm ? std::to_string(b) : "0";
            break;
        }
        case Step::kUnsigned16: {
            const uint16_t a = static_cast<uint16_t>(60000 + i), b = static_cast<uint16_t>(50000 + i);
            std::memcpy(rm, &a, 2);
            if (tm) std::memcpy(tm, &b, 2);
            rv = std::to_string(a);
            tv = tm ? std::to_string(b) : "0";
            break;
        }
        case Step::kInt32: {
            const int32_t a = -1000 - static_cast<int32_t>(i), b = 2000 + static_cast<int32_t>(i);
            std::memcpy(rm, &a, 4);
            if (tm) std::memcpy(tm, &b, 4);
            rv = std::to_string(a);
            tv = tm ? std::to_string(b) : "0";
            break;
        }
        case Step::kInt64: {
            const int64_t a = 5000000000LL + static_cast<int64_t>(i), b = -6000000000LL - static_cast<int64_t>(i);
            std::memcpy(rm, &a, 8);
            if (tm) std::memcpy(tm, &b, 8);
            rv = std::to_string(a);
            tv = std::to_string(b);
            break;
        }
        case Step::kDouble: {
            const double a = static_cast<double>(i) + 0.5, b = -static_cast<double>(i) - 0.25;
            std::memcpy(rm, &a, 8);
            if (tm) std::memcpy(tm, &b, 8);
            char text[64];
            std::snprintf(text, sizeof text, "%f", a);
            rv = text;
            std::snprintf(text, sizeof text, "%f", b);
            tv = text;
            break;
        }
        default:
            ADD_FAILURE() << c.name << " step " << i << ": a field step of a record member kind";
        }
        if (!tm && s.member == Step::kText) tv = "(null)";
        lines.push_back(std::string(c.name) + "," + c.labels.result + s.field + "=" + rv + "," + c.labels.target +
                        (c.labels.target_named ? s.field : "") + "=" + tv + "\n");
    }
}

// The lines of a captured run that name a checker (field lines), in order.
std::vector<std::string> field_lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 5, "Check") == 0) lines.push_back(line + "\n");
    }
    return lines;
}

TEST(Describe, StepsAgreeWithEveryLineTheCheckerPrints) {
    for (size_t k = 0; k < fieldaudit::kCheckerCount; ++k) {
        const Checker &c = fieldaudit::kCheckers[k];
        SCOPED_TRACE(c.name);
        Storage store;
        char *r = store.block(c.size);
        char *t = c.has_target ? store.block(c.size) : nullptr;
        std::vector<std::string> expected;
        plant(c, r, t, store, expected);
        PrintCapture out;
        c.check(r, t);
        EXPECT_EQ(expected, field_lines(out.text()));
        EXPECT_TRUE(out.whole_lines());
        // A gate names a field of the same checker.
        for (const Step &s : steps_of(c)) {
            if (s.gate == nullptr) continue;
            bool found = false;
            for (const Step &other : steps_of(c)) found = found || (other.field && std::strcmp(other.field, s.gate) == 0);
            EXPECT_TRUE(found) << s.field << " gated by " << s.gate;
        }
    }
}

TEST(Describe, EveryDeclaredCheckerIsDescribedOnce) {
    std::ifstream header(FIELDAUDIT_PUBLIC_HEADER);
    ASSERT_TRUE(header.good());
    std::stringstream text;
    text << header.rdbuf();
    const std::string all = text.str();
    const std::regex declaration("int (Check(?:Tolva)\\w*)\\(const (\\w+) \\*");
    std::set<std::string> declared;
    for (std::sregex_iterator m(all.begin(), all.end(), declaration), end; m != end; ++m) {
        declared.insert((*m)[1]);
        EXPECT_EQ("Check" + (*m)[2].str(), (*m)[1].str());
    }
    std::set<std::string> described;
    for (size_t k = 0; k < fieldaudit::kCheckerCount; ++k) {
        EXPECT_TRUE(described.insert(fieldaudit::kCheckers[k].name).second);
        EXPECT_EQ(&fieldaudit::kCheckers[k], fieldaudit::find_checker(fieldaudit::kCheckers[k].name));
    }
    EXPECT_EQ(34u, declared.size());
    EXPECT_EQ(declared, described);
    EXPECT_EQ(nullptr, fieldaudit::find_checker("CheckNothing"));
    EXPECT_EQ(nullptr, fieldaudit::find_checker(nullptr));
}

}  // namespace
