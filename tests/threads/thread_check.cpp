// Every checker and every format from 8 threads at once, each thread with
// records of its own, starting in a fresh process so that the first checks
// of each format race to keep its pattern. Every string the print handler
// receives must be one whole line, and each thread's outputs and verdicts
// must equal those of a run on one thread afterwards. Built with
// ThreadSanitizer by the preset "tsan"; a plain test in the other builds.
#include <glib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fieldaudit_tools.h"
#include "fieldaudit.h"
#include "record_walk.h"

namespace {

using fieldaudit::Checker;
using fieldaudit::Step;

const int kThreads = 8;
const int kRounds = 3;

// Values that the formats pass or fail in different ways.
const char *const kValues[] = {
    "001122AABBCC", "00:11:22:AA:BB:CC", "192.168.1.1", "x1234.5.6.7x", "12:30", "30%", "55%",
    "fe80::1", "2001:db8::1%eth0", "1", "Connected", "Disconnected\n", "IP:192.168.1.2;MAC:00:11:22:AA:BB:CC",
    "REGISTER_OK", "TCP,UDP", "ON", "garbage", "", "\xff\xfe", "a\tb",
};
const unsigned kValueCount = sizeof kValues / sizeof kValues[0];

thread_local std::string t_output;
bool g_torn_line = false;  // set only from the handler; read after joins

void collect(const gchar *text) {
    const char *newline = std::strchr(text, '\n');
    if (newline == nullptr || newline[1] != '\0') g_torn_line = true;
    t_output += text;
}

// A little generator of its own, so each thread makes the same records.
struct Random {
    unsigned state;
    unsigned next() {
        state = state * 1103515245u + 12345u;
        return (state >> 8) & 0xffffff;
    }
};

struct Blocks {
    std::vector<std::unique_ptr<char[]>> held;
    char *take(size_t size) {
        held.emplace_back(new char[size]());
        return held.back().get();
    }
};

void put_text(char *member, size_t width, const char *text) { std::snprintf(member, width, "%s", text); }

// Fills the members the checker's steps name: format names on the target
// side of format steps (every format in turn, and an empty slot), sample
// values elsewhere, a status and a format name in string records, small
// numbers (selectors) in the low byte, and behind pointers a record or, one
// time in five, null.
class SampleFill : public tolva_test::RecordFill {
public:
    SampleFill(Random &rnd, Blocks &blocks, unsigned &format) : rnd_(rnd), blocks_(blocks), format_(format) {}

    char *pointed(const Step &, size_t size, int) override { return rnd_.next() % 5 ? blocks_.take(size) : nullptr; }
    void member(const Checker &, size_t, const Step &s, char *rm, char *tm) override {
        if (s.member == Step::kStringRecord) {
            if (rm) put_text(rm, s.width, "Connected");
            if (tm) put_text(tm, s.width, "DATA_Status");
        } else if (s.member == Step::kText) {
            const char *value = kValues[rnd_.next() % kValueCount];
            // Every format in turn, then the first empty slot.
            const char *name = s.kind == Step::kFormat
                                   ? DATA_FORMAT_MAP[format_++ % (fieldaudit::kFormatCount + 1)].name
                                   : kValues[rnd_.next() % kValueCount];
            if (rm) put_text(rm, s.width, value);
            if (tm) put_text(tm, s.width, name ? name : "DATA_NONE");
        } else {
            const char rv = static_cast<char>(rnd_.next() % 10);
            const char tv = static_cast<char>(rnd_.next() % 10);
            if (rm) rm[0] = rv;
            if (tm) tm[0] = tv;
        }
    }

private:
    Random &rnd_;
    Blocks &blocks_;
    unsigned &format_;
};

// One call of the workload: a checker on two records, or a format check.
struct Call {
    const Checker *checker;
    const char *result;
    const char *target;
    const char *value;
    const char *format;
};

std::vector<Call> workload(Blocks &blocks) {
    std::vector<Call> calls;
    Random rnd{1};
    unsigned format = 0;
    for (int variant = 0; variant < 4; ++variant) {
        for (size_t k = 0; k < fieldaudit::kCheckerCount; ++k) {
            const Checker &c = fieldaudit::kCheckers[k];
            char *r = blocks.take(c.size);
            char *t = blocks.take(c.size);
            SampleFill fill(rnd, blocks, format);
            tolva_test::fill_records(c, r, t, fill);
            calls.push_back(Call{&c, r, t, nullptr, nullptr});
        }
    }
    for (unsigned f = 0; f < fieldaudit::kFormatCount; ++f) {
        for (const char *value : kValues) calls.push_back(Call{nullptr, nullptr, nullptr, value, DATA_FORMAT_MAP[f].name});
    }
    return calls;
}

// Output and verdict of each call, round after round.
std::vector<std::string> run(int rounds) {
    Blocks blocks;
    const std::vector<Call> calls = workload(blocks);
    std::vector<std::string> outcomes;
    for (int round = 0; round < rounds; ++round) {
        for (const Call &call : calls) {
            t_output.clear();
            const int verdict = call.checker ? call.checker->check(call.result, call.target)
                                             : Check_data_format(call.value, call.format);
            outcomes.push_back(t_output + static_cast<char>('0' + verdict));
        }
    }
    return outcomes;
}

}  // namespace

int main() {
    g_set_print_handler(collect);
    std::vector<std::vector<std::string>> threaded(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) threads.emplace_back([&threaded, i] { threaded[i] = run(kRounds); });
    for (std::thread &t : threads) t.join();

    const std::vector<std::string> reference = run(1);
    int failures = g_torn_line ? 1 : 0;
    if (g_torn_line) std::fprintf(stderr, "a print call delivered other than one whole line\n");
    for (int i = 0; i < kThreads; ++i) {
        int mismatches = 0;
        for (size_t n = 0; n < threaded[i].size(); ++n) mismatches += threaded[i][n] != reference[n % reference.size()];
        if (mismatches) std::fprintf(stderr, "thread %d: %d calls differ from the single-threaded run\n", i, mismatches);
        failures += mismatches;
    }
    int passed = 0;
    for (const std::string &o : reference) passed += o.back() == '1';
    std::printf("%zu calls (%d pass) x %d rounds on %d threads: %s\n", reference.size(), passed, kRounds, kThreads,
                failures ? "MISMATCH" : "same as one thread");
    return failures ? 1 : 0;
}
