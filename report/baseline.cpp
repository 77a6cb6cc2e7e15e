// A baseline: the cases of an earlier run, by key (triage.h). A results
// folder, a sheet or a captured output is read as the report reads its
// inputs, its calls keeping their fields, and its cases made as the report
// makes them; a --cases file saved from an earlier report gives each case's
// outcome only (its message names the failing fields as text, without the
// fields that passed), so its cases are compared as wholes.
#include <string.h>

#include "core.h"
#include "text.h"
#include "triage.h"

namespace capireport {

namespace {

void base_case_free(void *p) {
    BaseCase *c = static_cast<BaseCase *>(p);
    g_free(c->own);
    g_free(c->name);
    g_free(c->key);
    g_free(c);
}

Baseline *baseline_new(const char *path) {
    Baseline *baseline = g_new0(Baseline, 1);
    baseline->path = g_strdup(path);
    baseline->cases = g_ptr_array_new_with_free_func(base_case_free);
    baseline->by_key = g_hash_table_new(g_str_hash, g_str_equal);
    return baseline;
}

void add(Baseline &baseline, const char *own, const char *name, bool pass, const Call *call) {
    BaseCase *c = g_new0(BaseCase, 1);
    c->own = g_strdup(own);
    c->name = g_strdup(name);
    c->key = g_strdup_printf("%s/%s", own, name);
    c->pass = pass;
    c->call = call;
    g_ptr_array_add(baseline.cases, c);
}

// Keys made unique as case_keys makes an input's, then looked up by.
void index_keys(Baseline &baseline) {
    GPtrArray *keys = g_ptr_array_new();
    for (guint i = 0; i < baseline.cases->len; ++i) {
        g_ptr_array_add(keys, static_cast<BaseCase *>(g_ptr_array_index(baseline.cases, i))->key);
    }
    render::make_unique(keys);
    for (guint i = 0; i < baseline.cases->len; ++i) {
        BaseCase *c = static_cast<BaseCase *>(g_ptr_array_index(baseline.cases, i));
        c->key = static_cast<char *>(g_ptr_array_index(keys, i));
        g_hash_table_insert(baseline.by_key, c->key, c);
    }
    g_ptr_array_free(keys, TRUE);
}

// "suite \t case \t outcome \t message", each field escaped (caselist.cpp),
// split by capi-run's reader of the case list.
bool case_line(Baseline &baseline, const char *line, size_t length) {
    const char *field[4];
    size_t lengths[4];
    if (!capi_case_fields(line, length, field, lengths)) return false;
    char *suite = static_cast<char *>(g_malloc(length + 1));
    char *name = static_cast<char *>(g_malloc(length + 1));
    const size_t suite_length = capi_unescape(field[0], lengths[0], suite, length + 1);
    const size_t name_length = capi_unescape(field[1], lengths[1], name, length + 1);
    const bool pass = equals(field[2], lengths[2], "pass");
    // A name is a C string: no NUL byte in it.
    const bool read = suite_length != static_cast<size_t>(-1) && suite_length == strlen(suite) &&
                      name_length != static_cast<size_t>(-1) && name_length == strlen(name) &&
                      (pass || equals(field[2], lengths[2], "fail") || equals(field[2], lengths[2], "error") ||
                       equals(field[2], lengths[2], "known"));
    if (read) add(baseline, suite, name, pass, nullptr);
    g_free(suite);
    g_free(name);
    return read;
}

bool is_cases_file(const char *bytes, size_t length) {
    const char *newline = static_cast<const char *>(memchr(bytes, '\n', length));
    const size_t end = newline ? static_cast<size_t>(newline - bytes) : length;
    size_t tabs = 0;
    for (size_t i = 0; i < end; ++i) tabs += bytes[i] == '\t';
    return tabs == 3;
}

}  // namespace

Baseline *baseline_parse_cases(const char *path, const char *bytes, size_t length, GString *errors) {
    Baseline *baseline = baseline_new(path);
    bool read = true;
    each_line(bytes, length, [&](const char *line, size_t n, Count number) {
        if (!case_line(*baseline, line, n)) {
            g_string_append(errors, path);
            g_string_append_printf(errors, ":%llu: not a case line of --cases (suite, case, pass|fail|error|known, "
                                           "message, tab-separated)\n",
                                   number);
            read = false;
        }
        return read;
    });
    if (!read) {
        baseline_free(baseline);
        return nullptr;
    }
    index_keys(*baseline);
    return baseline;
}

Baseline *baseline_read(const char *path, Setting setting, const Catalog *catalog, GString *errors) {
    Input *input = nullptr;
    if (setting == kBaselineLogSetting) {
        input = read_input(kLog, path, catalog);
    } else if (g_file_test(path, G_FILE_TEST_IS_DIR)) {
        input = read_session(path, nullptr, catalog);
    } else {
        size_t length = 0;
        char *error = nullptr;
        char *bytes = read_file(path, &length, &error);
        if (bytes == nullptr) {
            g_string_append_printf(errors, "capi-report: baseline: %s\n", error);
            g_free(error);
            return nullptr;
        }
        if (is_cases_file(bytes, length)) {
            Baseline *cases = baseline_parse_cases(path, bytes, length, errors);
            g_free(bytes);
            return cases;
        }
        g_free(bytes);
        input = read_input(kSheet, path, catalog);
    }
    if (input->error != nullptr) {
        g_string_append_printf(errors, "capi-report: baseline: %s\n", input->error);
        input_free(input);
        return nullptr;
    }
    return baseline_of(path, input, errors);
}

Baseline *baseline_of(const char *path, Input *input, GString *errors) {
    Baseline *baseline = baseline_new(path);
    baseline->input = input;
    Summary *summary = summarize(&baseline->input, 1);
    write_problems(*summary, errors);
    GPtrArray *suites = test_suites(*summary);
    for (guint i = 0; i < suites->len; ++i) {
        const TestSuite &suite = *static_cast<const TestSuite *>(g_ptr_array_index(suites, i));
        for (guint k = 0; k < suite.cases->len; ++k) {
            const TestCase &c = *static_cast<const TestCase *>(g_ptr_array_index(suite.cases, k));
            add(*baseline, suite.own, c.name, c.verdict == TestCase::kPassed, c.call);
        }
    }
    g_ptr_array_unref(suites);
    summary_free(summary);
    index_keys(*baseline);
    return baseline;
}

void baseline_free(Baseline *baseline) {
    if (baseline == nullptr) return;
    g_free(baseline->path);
    g_hash_table_destroy(baseline->by_key);
    g_ptr_array_free(baseline->cases, TRUE);
    input_free(baseline->input);
    g_free(baseline);
}

}  // namespace capireport
