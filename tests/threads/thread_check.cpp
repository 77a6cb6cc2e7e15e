// Every checker and every format from 8 threads at once, each thread with
// records of its own. Every string the print handler receives must be one
// whole line, and each thread's outputs and verdicts must equal those of a
// run on one thread. Built with ThreadSanitizer by the preset "tsan"; a
// plain test in the other builds.
#include <glib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "describe.h"
#include "fieldaudit.h"

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

void put_text(char *member, size_t width, const char *text) {
    std::snprintf(member, width, "%s", text);
}

// Fills the members the checker's steps name: format names on the target
// side of format steps (every format in turn), sample values elsewhere,
// small numbers (selectors), records or null behind pointers.
void fill(const Checker &c, char *r, char *t, Random &rnd, Blocks &blocks, unsigned &format) {
    Step steps[fieldaudit::kMaxSteps];
    const size_t n = c.describe(steps, fieldaudit::kMaxSteps);
    for (size_t i = 0; i < n; ++i) {
        const Step &s = steps[i];
        char *rm = r + s.offset;
        char *tm = t + s.offset;
        switch (s.member) {
        case Step::kText:
            put_text(rm, s.width, kValues[rnd.next() % (sizeof kValues / sizeof *kValues)]);
            if (s.kind == Step::kFormat) {
                const char *name = DATA_FORMAT_MAP[format++ % 26].name;  // slot 25 is empty
                put_text(tm, s.width, name ? name : "DATA_NONE");
            } else {
                put_text(tm, s.width, kValues[rnd.next() % (sizeof kValues / sizeof *kValues)]);
            }
            break;
        case Step::kStringRecord:
        case Step::kRecordPointer:
            for (char *side : {rm, tm}) {
                char *record = nullptr;
                if (rnd.next() % 5 != 0) {
                    const size_t size = s.sub ? s.sub->size : sizeof(TolvaStrArray_t);
                    record = blocks.take(size);
                    if (s.sub == nullptr) put_text(record, size, side == rm ? "Connected" : "DATA_Status");
                }
                std::memcpy(side, &record, sizeof record);
            }
            if (s.sub) {
                char *rs, *ts;
                std::memcpy(&rs, rm, sizeof rs);
                std::memcpy(&ts, tm, sizeof ts);
                if (rs && ts) fill(*s.sub, rs, ts, rnd, blocks, format);
            }
            break;
        case Step::kRecord:
            fill(*s.sub, rm, tm, rnd, blocks, format);
            break;
        case Step::kUnsigned8:
        case Step::kUnsigned16:
        case Step::kInt32:
        case Step::kInt64:
        case Step::kDouble:
            // Small numbers: domain values and selectors, 0 to 9, in the low byte.
            rm[0] = static_cast<char>(rnd.next() % 10);
            tm[0] = static_cast<char>(rnd.next() % 10);
            break;
        }
    }
}

// One call of the workload: a checker on two records, or a format check.
struct Call {
    const Checker *checker;
    const char *result;
    const char *target;
    const char *value;
    const char *format;
};

std::vector<Call> workload(unsigned seed, Blocks &blocks) {
    std::vector<Call> calls;
    Random rnd{seed};
    unsigned format = 0;
    for (int variant = 0; variant < 4; ++variant) {
        for (size_t k = 0; k < fieldaudit::kCheckerCount; ++k) {
            const Checker &c = fieldaudit::kCheckers[k];
            char *r = blocks.take(c.size);
            char *t = blocks.take(c.size);
            fill(c, r, t, rnd, blocks, format);
            calls.push_back(Call{&c, r, t, nullptr, nullptr});
        }
    }
    for (unsigned f = 0; f < 25; ++f) {
        for (const char *value : kValues) calls.push_back(Call{nullptr, nullptr, nullptr, value, DATA_FORMAT_MAP[f].name});
    }
    return calls;
}

int run(const Call &call) {
    return call.checker ? call.checker->check(call.result, call.target) : Check_data_format(call.value, call.format);
}

struct Outcome {
    std::string output;
    int verdict;
};

}  // namespace

int main() {
    g_set_print_handler(collect);
    Blocks reference_blocks;
    const std::vector<Call> reference_calls = workload(1, reference_blocks);
    std::vector<Outcome> reference;
    for (const Call &call : reference_calls) {
        t_output.clear();
        const int verdict = run(call);
        reference.push_back(Outcome{t_output, verdict});
    }

    std::vector<int> mismatches(kThreads, 0);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            Blocks blocks;
            const std::vector<Call> calls = workload(1, blocks);
            for (int round = 0; round < kRounds; ++round) {
                for (size_t n = 0; n < calls.size(); ++n) {
                    t_output.clear();
                    const int verdict = run(calls[n]);
                    if (verdict != reference[n].verdict || t_output != reference[n].output) ++mismatches[i];
                }
            }
        });
    }
    for (std::thread &t : threads) t.join();

    int failures = g_torn_line ? 1 : 0;
    if (g_torn_line) std::fprintf(stderr, "a print call delivered other than one whole line\n");
    for (int i = 0; i < kThreads; ++i) {
        if (mismatches[i]) std::fprintf(stderr, "thread %d: %d calls differ from the single-threaded run\n", i, mismatches[i]);
        failures += mismatches[i];
    }
    int passed = 0;
    for (const Outcome &o : reference) passed += o.verdict;
    std::printf("%zu calls (%d pass) x %d rounds on %d threads: %s\n", reference.size(), passed, kRounds, kThreads,
                failures ? "MISMATCH" : "same as one thread");
    return failures ? 1 : 0;
}
