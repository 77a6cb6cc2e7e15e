// The comparison of the report's cases with a baseline and with the known
// failures (triage.h).
//
// Each case of each input is looked up by its key in the baseline: not
// there, it is new; passed there and fails now, a regression; failed there
// and passes now, fixed; failed in both, still failing. Where both builds
// give a checker call with its fields (a baseline read from a folder or a
// log), the fields are paired by label (the K-th field of a label with the
// K-th) and each whose verdict changed is named with both values and the
// reason. A failure is known when a known issue matches its key, or, for a
// checker call, when every failing field is known by "KEY/FIELD".
//
// The exit status is 1 when a case fails newly and is not known: a
// regression, a new case that fails, a call that failed before and now also
// fails in a field that passed (or was not there); without a baseline,
// every failure that is not known. Else 0; 2 where an input cannot be read.
#include <string.h>

#include "core.h"
#include "triage.h"

namespace capireport {

namespace {

void case_triage_free(void *p) {
    CaseTriage *c = static_cast<CaseTriage *>(p);
    g_free(c->known);
    if (c->lines) g_ptr_array_free(c->lines, TRUE);
    g_free(c->name);
    g_free(c->key);
    g_free(c);
}

CaseTriage *case_triage_new(Change change) {
    CaseTriage *c = g_new0(CaseTriage, 1);
    c->change = change;
    c->lines = g_ptr_array_new_with_free_func(g_free);
    return c;
}

const FailedField &field_at(const Call &call, guint i) {
    return *static_cast<const FailedField *>(g_ptr_array_index(call.fields, i));
}

// The fields of the call by label: label -> GPtrArray of FailedField *, in order.
GHashTable *fields_by_label(const Call &call) {
    GHashTable *table = g_hash_table_new_full(g_str_hash, g_str_equal, nullptr, (GDestroyNotify)g_ptr_array_unref);
    for (guint i = 0; i < call.fields->len; ++i) {
        const FailedField &f = field_at(call, i);
        GPtrArray *same = static_cast<GPtrArray *>(g_hash_table_lookup(table, f.label));
        if (same == nullptr) {
            same = g_ptr_array_new();
            g_hash_table_insert(table, f.label, same);
        }
        g_ptr_array_add(same, const_cast<FailedField *>(&f));
    }
    return table;
}

// "passed with "V"", "failed with result="V" target="T": REASON", "was
// not there"; the field's values where its line shows them.
void append_state(GString *out, const FailedField *f) {
    if (f == nullptr) {
        g_string_append(out, "not there");
    } else if (f->reason == nullptr) {
        g_string_append(out, "passed");
        if (f->result != nullptr) g_string_append_printf(out, " with \"%s\"", f->result);
    } else {
        g_string_append(out, "failed");
        if (f->result != nullptr) {
            g_string_append_printf(out, " with result=\"%s\" target=\"%s\"", f->result, f->target);
        }
        g_string_append_printf(out, ": %s", f->reason);
    }
}

char *change_line(const char *label, const FailedField *before, const FailedField *now) {
    GString *line = g_string_new(nullptr);
    g_string_append_printf(line, "%s: ", label);
    append_state(line, before);
    g_string_append(line, "; now ");
    append_state(line, now);
    return g_string_free(line, FALSE);
}

struct Compared {
    Triage &triage;
    const Input &input;
    const char *key;
};

// Names each field whose verdict changed between the two calls; true when
// one fails now that passed or was not there, and is not known.
bool compare_fields(Compared &k, const Call &before, const Call &now, GPtrArray *lines) {
    if (before.fields == nullptr || now.fields == nullptr) return false;
    GHashTable *old = fields_by_label(before);
    GHashTable *taken = g_hash_table_new(g_direct_hash, g_direct_equal);  // old fields paired
    GHashTable *counted = g_hash_table_new(g_str_hash, g_str_equal);      // label -> occurrences so far
    bool newly = false;
    for (guint i = 0; i < now.fields->len; ++i) {
        const FailedField &f = field_at(now, i);
        const guint place = GPOINTER_TO_UINT(g_hash_table_lookup(counted, f.label));
        g_hash_table_insert(counted, f.label, GUINT_TO_POINTER(place + 1));
        const GPtrArray *same = static_cast<const GPtrArray *>(g_hash_table_lookup(old, f.label));
        const FailedField *was = same && place < same->len ? static_cast<const FailedField *>(same->pdata[place]) : nullptr;
        if (was != nullptr) g_hash_table_add(taken, const_cast<FailedField *>(was));
        const bool failed_before = was != nullptr && was->reason != nullptr;
        const bool fails = f.reason != nullptr;
        if (failed_before == fails || (!fails && was == nullptr)) continue;
        g_ptr_array_add(lines, change_line(f.label, was, &f));
        if (fails && k.triage.known != nullptr) {
            char *name = g_strdup_printf("%s/%s", k.key, f.label);
            char *known = known_match(*k.triage.known, name, k.input);
            if (known == nullptr) newly = true;
            g_free(known);
            g_free(name);
        } else if (fails) {
            newly = true;
        }
    }
    // Fields that failed before and are not there now.
    for (guint i = 0; i < before.fields->len; ++i) {
        const FailedField &f = field_at(before, i);
        if (f.reason != nullptr && !g_hash_table_contains(taken, &f)) {
            g_ptr_array_add(lines, change_line(f.label, &f, nullptr));
        }
    }
    g_hash_table_destroy(counted);
    g_hash_table_destroy(taken);
    g_hash_table_destroy(old);
    return newly;
}

// The reasons that make the failing case known, or null: a known issue on
// the case, or on each of a call's failing fields.
char *known_reasons(Triage &triage, const TestCase &c, const char *key, const Input &input) {
    if (triage.known == nullptr) return nullptr;
    char *reasons = known_match(*triage.known, key, input);
    if (reasons != nullptr || c.call == nullptr || c.call->failures->len == 0) return reasons;
    GPtrArray *all = g_ptr_array_new_with_free_func(g_free);  // each field's reasons, once
    bool every = true;
    for (guint i = 0; i < c.call->failures->len; ++i) {
        char *name = g_strdup_printf("%s/%s", key, render::failure_at(*c.call, i).label);
        char *known = known_match(*triage.known, name, input);
        g_free(name);
        if (known == nullptr || g_ptr_array_find_with_equal_func(all, known, g_str_equal, nullptr)) {
            every = every && known != nullptr;
            g_free(known);
        } else {
            g_ptr_array_add(all, known);
        }
    }
    g_ptr_array_add(all, nullptr);
    char *joined = every ? g_strjoinv("; ", reinterpret_cast<char **>(all->pdata)) : nullptr;
    g_ptr_array_free(all, TRUE);
    return joined;
}

CaseTriage *classify(Triage &triage, const TestCase &c, const char *key, const Input &input, size_t number) {
    const bool fails = c.verdict != TestCase::kPassed;
    char *known = fails ? known_reasons(triage, c, key, input) : nullptr;
    CaseTriage *t = nullptr;
    if (triage.baseline == nullptr) {
        t = case_triage_new(fails ? kFailing : kUnchanged);
        t->counts = fails;
    } else {
        BaseCase *was = static_cast<BaseCase *>(g_hash_table_lookup(triage.baseline->by_key, key));
        if (was == nullptr) {
            t = case_triage_new(fails ? kNewFailing : kNewPassing);
            t->counts = fails;
        } else {
            was->seen = number;
            t = case_triage_new(was->pass ? (fails ? kRegression : kUnchanged) : (fails ? kStillFailing : kFixed));
            Compared k = {triage, input, key};
            const bool newly = was->call && c.call && compare_fields(k, *was->call, *c.call, t->lines);
            t->counts = t->change == kRegression || (t->change == kStillFailing && newly);
        }
    }
    if (known != nullptr) {
        t->known = known;
        t->change = kKnownFailure;
        t->counts = false;
    }
    return t;
}

}  // namespace

const char *change_word(Change change) {
    switch (change) {
    case kRegression: return "REGRESSION";
    case kNewFailing:
    case kNewPassing: return "NEW";
    case kStillFailing: return "STILL FAILING";
    case kKnownFailure: return "KNOWN";
    case kFixed: return "FIXED";
    case kGone: return "GONE";
    case kFailing:
    case kUnchanged: break;
    }
    return nullptr;
}

Triage *triage_new(Baseline *baseline, KnownList *known) {
    Triage *triage = g_new0(Triage, 1);
    triage->baseline = baseline;
    triage->known = known;
    triage->cases = g_ptr_array_new_with_free_func(case_triage_free);
    triage->gone = g_ptr_array_new_with_free_func(case_triage_free);
    return triage;
}

Triage *triage_read(const char *baseline, Setting kind, const char *known, Catalog *catalog, GString *errors) {
    Triage *triage = triage_new(nullptr, nullptr);
    bool read = true;
    if (known != nullptr) {
        triage->known = known_read(known, errors);
        read = triage->known != nullptr;
    }
    if (read && baseline != nullptr) {
        catalog_keep_fields(catalog);
        triage->baseline = baseline_read(baseline, kind, catalog, errors);
        read = triage->baseline != nullptr;
    }
    if (!read) {
        triage_free(triage);
        return nullptr;
    }
    return triage;
}

void triage_compare(Triage &triage, const Summary &summary) {
    GPtrArray *suites = test_suites(summary);  // plain: the summary has no triage yet
    GPtrArray *keys = case_keys(suites);
    size_t flat = 0;
    for (size_t input = 0; input < summary.count; ++input) {
        const Input &in = *summary.inputs[input].input;
        if (triage.known) known_applies(*triage.known, in);
        for (guint i = 0; i < suites->len; ++i) {
            const TestSuite &suite = *static_cast<const TestSuite *>(g_ptr_array_index(suites, i));
            if (suite.input != input) continue;
            for (guint k = 0; k < suite.cases->len; ++k, ++flat) {
                const TestCase &c = *static_cast<const TestCase *>(g_ptr_array_index(suite.cases, k));
                g_ptr_array_add(triage.cases,
                                classify(triage, c, static_cast<const char *>(g_ptr_array_index(keys, flat)), in,
                                         input + 1));
            }
        }
        for (guint i = 0; triage.baseline && i < triage.baseline->cases->len; ++i) {
            const BaseCase &was = *static_cast<const BaseCase *>(g_ptr_array_index(triage.baseline->cases, i));
            if (was.seen == input + 1) continue;
            CaseTriage *gone = case_triage_new(kGone);
            gone->input = input;
            char *suite = suite_name(summary, input, was.own);
            gone->name = g_strdup_printf("%s/%s", suite, was.name);
            gone->key = g_strdup(was.key);
            g_free(suite);
            g_ptr_array_add(triage.gone, gone);
        }
    }
    g_ptr_array_unref(keys);
    g_ptr_array_unref(suites);

    for (guint i = 0; i < triage.cases->len; ++i) {
        const CaseTriage &c = *static_cast<const CaseTriage *>(g_ptr_array_index(triage.cases, i));
        ++triage.counts[c.change];
        if (c.counts) ++triage.newly;
    }
    triage.counts[kGone] = triage.gone->len;
    for (guint i = 0; triage.known && i < triage.known->issues->len; ++i) {
        const KnownIssue &issue = *static_cast<const KnownIssue *>(g_ptr_array_index(triage.known->issues, i));
        if (issue.applies && !issue.seen) ++triage.unseen;
    }
    triage.status = summary.unreadable ? 2 : triage.newly > 0 ? 1 : 0;
}

void triage_apply(const Triage &triage, GPtrArray *suites) {
    guint flat = 0;
    for (guint i = 0; i < suites->len; ++i) {
        TestSuite &suite = *static_cast<TestSuite *>(g_ptr_array_index(suites, i));
        for (guint k = 0; k < suite.cases->len && flat < triage.cases->len; ++k, ++flat) {
            TestCase &c = *static_cast<TestCase *>(g_ptr_array_index(suite.cases, k));
            const CaseTriage &t = *static_cast<const CaseTriage *>(g_ptr_array_index(triage.cases, flat));
            c.mark = change_word(t.change);
            if (c.verdict == TestCase::kPassed) continue;
            if (t.known != nullptr) {
                c.known = g_strdup(t.known);
                --*(c.verdict == TestCase::kFailed ? &suite.failures : &suite.errors);
                ++suite.skipped;
                continue;
            }
            if (c.mark != nullptr) {
                char *message = g_strdup_printf("%s: %s", c.mark, c.message);
                g_free(c.message);
                c.message = message;
            }
            for (guint n = 0; n < t.lines->len; ++n) {
                g_ptr_array_insert(c.details, static_cast<gint>(n), g_strdup(static_cast<const char *>(t.lines->pdata[n])));
            }
        }
    }
}

void triage_free(Triage *triage) {
    if (triage == nullptr) return;
    baseline_free(triage->baseline);
    known_free(triage->known);
    g_ptr_array_free(triage->cases, TRUE);
    g_ptr_array_free(triage->gone, TRUE);
    g_free(triage);
}

}  // namespace capireport
