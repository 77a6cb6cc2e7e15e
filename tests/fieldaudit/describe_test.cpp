// The checkers' steps as the kit's tools read them agree with what the
// checkers print: every field line in order, each from the member the step
// names, sub-checkers where the steps put them; and every exported checker
// is described.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "capture.h"
#include "fieldaudit_tools.h"
#include "record_walk.h"

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

std::string shown(double d) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", d);
    return text;
}
template <class N>
std::string shown(N n) {
    return std::to_string(+n);
}

// Writes a and b into the two sides of a number member and says how the line
// shows them; a walk without target shows 0.
template <class N>
void plant_number(char *rm, char *tm, N a, N b, std::string &rv, std::string &tv) {
    std::memcpy(rm, &a, sizeof a);
    if (tm) std::memcpy(tm, &b, sizeof b);
    rv = shown(a);
    tv = tm ? shown(b) : "0";
}

// Writes a distinct value into each member that the checker's steps name, on
// both sides, and appends the field lines those values must print. Numbers
// are chosen beyond the signed range of 8- and 16-bit members and beyond 32
// bits for 64-bit ones. Every pointer member leads to a record of its own on
// each side.
class Plant : public tolva_test::RecordFill {
public:
    Plant(Storage &store, std::vector<std::string> &lines) : store_(store), lines_(lines) {}

    char *pointed(const Step &, size_t size, int) override { return store_.block(size); }
    void member(const Checker &c, size_t i, const Step &s, char *rm, char *tm) override;

private:
    Storage &store_;
    std::vector<std::string> &lines_;
};

void Plant::member(const Checker &c, size_t i, const Step &s, char *rm, char *tm) {
    const bool t = tm != nullptr;
    const int n = static_cast<int>(i);
    std::string rv = "r" + std::to_string(i), tv = t ? "t" + std::to_string(i) : "(null)";
    switch (s.member) {
    case Step::kText:
    case Step::kStringRecord:
        std::memcpy(rm, rv.c_str(), rv.size() + 1);
        if (tm) std::memcpy(tm, tv.c_str(), tv.size() + 1);
        break;
    case Step::kUnsigned8: plant_number<uint8_t>(rm, tm, 100 + n, 200 + n, rv, tv); break;
    case Step::kUnsigned16: plant_number<uint16_t>(rm, tm, 60000 + n, 50000 + n, rv, tv); break;
    case Step::kInt32: plant_number<int32_t>(rm, tm, -1000 - n, 2000 + n, rv, tv); break;
    case Step::kInt64: plant_number<int64_t>(rm, tm, 5000000000LL + n, -6000000000LL - n, rv, tv); break;
    case Step::kDouble: plant_number<double>(rm, tm, n + 0.5, -n - 0.25, rv, tv); break;
    default: ADD_FAILURE() << c.name << " step " << i << ": a field step of a record member kind";
    }
    lines_.push_back(std::string(c.name) + "," + c.labels.result + s.field + "=" + rv + "," + c.labels.target +
                     (c.labels.target_named ? s.field : "") + "=" + tv + "\n");
}

// The lines of a captured run that name a checker (field lines), in order.
std::vector<std::string> field_lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
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
        Plant plant(store, expected);
        tolva_test::fill_records(c, r, t, plant);
        PrintCapture out;
        c.check(r, t);
        EXPECT_EQ(expected, field_lines(out.text()));
        EXPECT_TRUE(out.whole_lines());
        // A gate names a field of the same checker.
        std::set<std::string> fields;
        for (const Step &s : steps_of(c)) {
            if (s.field) fields.insert(s.field);
        }
        for (const Step &s : steps_of(c)) {
            if (s.gate) {
                EXPECT_EQ(1u, fields.count(s.gate)) << s.field << " gated by " << s.gate;
            }
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
    std::set<std::string> declared, described;
    for (std::sregex_iterator m(all.begin(), all.end(), declaration), end; m != end; ++m) {
        declared.insert((*m)[1]);
        EXPECT_EQ("Check" + (*m)[2].str(), (*m)[1].str());
    }
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
