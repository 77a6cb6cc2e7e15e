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
    return t;
}

}  // namespace

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
        (in.kind == kSheet ? s->malformed : s->stray) += in.malformed;
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
