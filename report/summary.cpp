// The summary of all inputs, counted once; every output renders it.
#include <string.h>

#include "report.h"

namespace capireport {

namespace {

InputTotals totals_of(const Input &in) {
    InputTotals t;
    memset(&t, 0, sizeof t);
    t.input = &in;
    t.unreadable = in.error != nullptr;
    t.rows = in.rows->len;
    t.names = in.names->len;
    for (guint i = 0; i < in.names->len; ++i) {
        const RowName *name = static_cast<const RowName *>(g_ptr_array_index(in.names, i));
        t.passes += name->passes;
        t.failures += name->failures;
        if (!name->latest_pass) ++t.failing;
    }
    t.calls = in.calls->len;
    for (guint i = 0; i < in.calls->len; ++i) {
        const Call *call = static_cast<const Call *>(g_ptr_array_index(in.calls, i));
        if (!call->pass) ++t.failed;
        if (!call->complete) ++t.incomplete;
    }
    t.fail = !t.unreadable && (t.failing > 0 || t.failed > 0 || in.problem_count > 0);
    // A session: every test's calls and rows; a row name counts per test.
    for (guint i = 0; i < in.tests->len; ++i) {
        const SessionTest &test = *static_cast<const SessionTest *>(g_ptr_array_index(in.tests, i));
        const InputTotals log = test.log ? totals_of(*test.log) : InputTotals{};
        const InputTotals rows = test.rows ? totals_of(*test.rows) : InputTotals{};
        t.calls += log.calls;
        t.failed += log.failed;
        t.incomplete += log.incomplete;
        t.rows += rows.rows;
        t.names += rows.names;
        t.passes += rows.passes;
        t.failures += rows.failures;
        t.failing += rows.failing;
        ++t.tests;
        if (!test_passes(test)) {
            ++t.tests_failed;
            t.fail = !t.unreadable;
        }
    }
    return t;
}

// A part of a session that failed or could not be read.
bool part_fails(const Input *part) {
    return part != nullptr && (part->error != nullptr || totals_of(*part).fail || totals_of(*part).failures > 0);
}

}  // namespace

bool test_passes(const SessionTest &test) {
    return capi_session_ok(&test.point) && !part_fails(test.log) && !part_fails(test.rows);
}

Summary *summarize(Input *const *inputs, size_t count) {
    Summary *s = g_new0(Summary, 1);
    s->inputs = g_new0(InputTotals, count);
    s->count = count;
    for (size_t i = 0; i < count; ++i) {
        const Input &in = *inputs[i];
        const InputTotals t = totals_of(in);
        s->inputs[i] = t;
        s->names += t.names;
        s->failing += t.failing;
        s->calls += t.calls;
        s->failed += t.failed;
        if (in.kind == kSession) {
            for (guint k = 0; k < in.tests->len; ++k) {
                const SessionTest &test = *static_cast<const SessionTest *>(g_ptr_array_index(in.tests, k));
                if (test.log) s->stray += test.log->malformed;
                if (test.rows) s->malformed += test.rows->malformed;
            }
        }
        (in.kind == kLog ? s->stray : s->malformed) += in.malformed;
        if (t.unreadable) ++s->unreadable;
        s->fail = s->fail || t.fail;
    }
    s->status = s->unreadable ? 2 : s->fail ? 1 : 0;
    return s;
}

void summary_free(Summary *summary) {
    if (summary == nullptr) return;
    g_free(summary->inputs);
    g_free(summary);
}

}  // namespace capireport
