// Cost of the format check beside its two floors, per call: compiling the
// pattern, matching once and freeing; and matching alone on a pattern
// compiled beforehand. Prints wall-clock times (meaningful natively and under
// qemu-arm); under callgrind the functions cost_* carry the instruction
// counts (bench/callgrind-ratios reads them).
//
//   format_costs [--jit] [--rounds N] [FORMAT]
//
// --jit compiles the floors' patterns with G_REGEX_OPTIMIZE (PCRE2's JIT).
// FORMAT limits the run to one format; every format by default. Linked with
// fieldaudit_strict (format_costs_strict), the floors match the whole value.
#include <glib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "fieldaudit.h"
#include "floors.h"
#include "samples.h"

namespace {

GRegexCompileFlags compile_flags = static_cast<GRegexCompileFlags>(0);

int match_once(const GRegex *compiled, const char *value) { return floor_match(compiled, value); }

GRegex *compile(const char *pattern) { return floor_compile(pattern, compile_flags); }

}  // namespace

// Named so that callgrind_annotate shows them plainly; kept out of line.
extern "C" {

__attribute__((noinline)) int cost_compile_match_free(const FormatSample *s, int n, int rounds) {
    int passed = 0;
    for (int r = 0; r < rounds; ++r) {
        for (int i = 0; i < n; ++i) {
            GRegex *compiled = compile(*s[i].pattern);
            passed += match_once(compiled, s[i].value);
            g_regex_unref(compiled);
        }
    }
    return passed;
}

__attribute__((noinline)) int cost_match_alone(GRegex *const *compiled, const FormatSample *s, int n, int rounds) {
    int passed = 0;
    for (int r = 0; r < rounds; ++r) {
        for (int i = 0; i < n; ++i) passed += match_once(compiled[i], s[i].value);
    }
    return passed;
}

__attribute__((noinline)) int cost_first_check(const FormatSample *s, int n) {
    int passed = 0;
    for (int i = 0; i < n; ++i) passed += Check_data_format(s[i].value, s[i].name);
    return passed;
}

__attribute__((noinline)) int cost_steady_check(const FormatSample *s, int n, int rounds) {
    int passed = 0;
    for (int r = 0; r < rounds; ++r) {
        for (int i = 0; i < n; ++i) passed += Check_data_format(s[i].value, s[i].name);
    }
    return passed;
}

}  // extern "C"

namespace {

struct Timer {
    gint64 start = g_get_monotonic_time();
    // Microseconds per call since the start.
    double per_call(int calls) const { return static_cast<double>(g_get_monotonic_time() - start) / calls; }
};

}  // namespace

int main(int argc, char **argv) {
    int rounds = 200;
    const char *only = nullptr;
    for (int a = 1; a < argc; ++a) {
        if (strcmp(argv[a], "--jit") == 0) {
            compile_flags = G_REGEX_OPTIMIZE;
        } else if (strcmp(argv[a], "--rounds") == 0 && a + 1 < argc) {
            rounds = atoi(argv[++a]);
        } else {
            only = argv[a];
        }
    }
    load_format_samples();
    const FormatSample *s = kFormatSamples;
    int n = fieldaudit::kFormatCount;
    if (only != nullptr) {
        const int index = find_data_format_index(only);
        if (index < 0) {
            fprintf(stderr, "format_costs: no format %s\n", only);
            return 2;
        }
        s = &kFormatSamples[index];
        n = 1;
    }
    if (rounds < 1) rounds = 1;

    // Warm-up: GLib's and PCRE2's one-time set-up and the first binding of
    // every function used, so that no measurement pays for them.
    GRegex *warm = compile("(w)?x");
    match_once(warm, "wx");
    g_regex_unref(warm);
    Check_data_format("x", "DATA_NONE");

    GRegex *compiled[fieldaudit::kFormatCount];
    for (int i = 0; i < n; ++i) compiled[i] = compile(*s[i].pattern);

    const int calls = rounds * n;
    Timer t1;
    const int p1 = cost_compile_match_free(s, n, rounds);
    const double compile_match_free = t1.per_call(calls);
    Timer t2;
    const int p2 = cost_match_alone(compiled, s, n, rounds);
    const double match_alone = t2.per_call(calls);
    Timer t3;
    const int p3 = cost_first_check(s, n);
    const double first_check = t3.per_call(n);
    Timer t4;
    const int p4 = cost_steady_check(s, n, rounds);
    const double steady_check = t4.per_call(calls);

    for (int i = 0; i < n; ++i) g_regex_unref(compiled[i]);
    if (p1 != calls || p2 != calls || p3 != n || p4 != calls) {
        fprintf(stderr, "format_costs: a sample value failed its format (%d %d %d %d)\n", p1, p2, p3, p4);
        return 1;
    }
    printf("formats %d, rounds %d, floors compiled %s\n", n, rounds,
           compile_flags == G_REGEX_OPTIMIZE ? "with JIT" : "without JIT");
    printf("us per call: compile+match+free %.2f  match alone %.2f  first check %.2f  steady check %.2f\n",
           compile_match_free, match_alone, first_check, steady_check);
    printf("ratios: steady/match %.3f  first/compile+match+free %.3f\n", steady_check / match_alone,
           first_check / compile_match_free);
    return 0;
}
