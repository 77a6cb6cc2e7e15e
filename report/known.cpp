// The known failures: their file read line by line, each line a glob over
// a case's name, the conditions on the session's labels and a reason
// (triage.h). A line that is not one is an error naming its file and line,
// never passed over: a known-failures file that says less than its author
// meant would hide failures. Globs are GLib's (GPatternSpec).
#include <stdarg.h>
#include <string.h>

#include "core.h"
#include "session.h"
#include "text.h"
#include "triage.h"

namespace capireport {

namespace {

void issue_free(void *p) {
    KnownIssue *issue = static_cast<KnownIssue *>(p);
    g_free(issue->name);
    g_pattern_spec_free(issue->glob);
    g_ptr_array_free(issue->keys, TRUE);
    g_ptr_array_free(issue->values, TRUE);
    g_free(issue->reason);
    g_free(issue);
}

void glob_free(void *glob) { g_pattern_spec_free(static_cast<GPatternSpec *>(glob)); }

void to_errors(const char *message, void *data) {
    g_string_append_printf(static_cast<GString *>(data), "%s\n", message);
}

void problem(GString *errors, const char *path, Count line, const char *format, ...) G_GNUC_PRINTF(4, 5);
void problem(GString *errors, const char *path, Count line, const char *format, ...) {
    va_list args;
    va_start(args, format);
    capi_problem_at(to_errors, errors, path, static_cast<unsigned long>(line), format, args);
    va_end(args);
}

bool blank(char c) { return c == ' ' || c == '\t'; }

// The line's fields between tabs (several tabs in a row are one), each
// without the blanks around it (g_strfreev).
char **fields_of(const char *line, size_t length) {
    GStrvBuilder *builder = g_strv_builder_new();
    for (size_t at = 0; at < length;) {
        while (at < length && line[at] == '\t') ++at;
        if (at == length) break;
        size_t end = at;
        while (end < length && line[end] != '\t') ++end;
        size_t first = at, last = end;
        while (first < last && blank(line[first])) ++first;
        while (last > first && blank(line[last - 1])) --last;
        char *field = g_strndup(line + first, last - first);
        g_strv_builder_add(builder, field);
        g_free(field);
        at = end;
    }
    char **fields = g_strv_builder_end(builder);
    g_strv_builder_unref(builder);
    return fields;
}

// Reads one line into a known failure; null with the line's problem named.
KnownIssue *issue_of(const char *path, const char *line, size_t length, Count number, GString *errors) {
    if (length > kMaxLine) {
        problem(errors, path, number, "line longer than %zu bytes", kMaxLine);
        return nullptr;
    }
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c != '\t' && (c < 0x20 || c > 0x7e)) {
            problem(errors, path, number,
                    "byte 0x%02x is not printable ASCII: names are matched as --cases writes them, such a byte "
                    "as \\xhh",
                    c);
            return nullptr;
        }
    }
    char **fields = fields_of(line, length);
    const guint n = g_strv_length(fields);
    KnownIssue *issue = nullptr;
    if (n < 2) {
        problem(errors, path, number, "not a known failure: give NAME-GLOB, a tab, REASON");
    } else {
        issue = g_new0(KnownIssue, 1);
        issue->line = static_cast<unsigned long>(number);
        issue->name = g_strdup(fields[0]);
        issue->glob = g_pattern_spec_new(fields[0]);
        issue->reason = g_strdup(fields[n - 1]);
        issue->keys = g_ptr_array_new_with_free_func(g_free);
        issue->values = g_ptr_array_new_with_free_func(glob_free);
        for (guint i = 1; i + 1 < n; ++i) {
            const char *condition = fields[i];
            const size_t key = strspn(condition, CAPI_SESSION_LABEL_KEY_CHARS);
            if (key == 0 || condition[key] != '=') {
                problem(errors, path, number, "\"%s\" is not a label condition KEY=VALUE-GLOB", condition);
                issue_free(issue);
                issue = nullptr;
                break;
            }
            g_ptr_array_add(issue->keys, g_strndup(condition, key));
            g_ptr_array_add(issue->values, g_pattern_spec_new(condition + key + 1));
        }
    }
    g_strfreev(fields);
    return issue;
}

// The text as the --cases file writes it: printable ASCII (g_malloc'ed).
char *escaped(const char *text) {
    GString *out = g_string_new(nullptr);
    render::append_escaped(out, text, nullptr);
    return g_string_free(out, FALSE);
}

bool label_met(const Input &input, const char *key, GPatternSpec *glob) {
    const size_t n = strlen(key);
    for (guint i = 0; i < input.labels->len; ++i) {
        const char *label = static_cast<const char *>(g_ptr_array_index(input.labels, i));
        if (strncmp(label, key, n) != 0 || label[n] != '=') continue;
        char *value = escaped(label + n + 1);
        const bool met = g_pattern_spec_match_string(glob, value);
        g_free(value);
        if (met) return true;
    }
    return false;
}

bool conditions_met(const KnownIssue &issue, const Input &input) {
    for (guint i = 0; i < issue.keys->len; ++i) {
        if (!label_met(input, static_cast<const char *>(g_ptr_array_index(issue.keys, i)),
                       static_cast<GPatternSpec *>(g_ptr_array_index(issue.values, i)))) {
            return false;
        }
    }
    return true;
}

}  // namespace

KnownList *known_parse(const char *path, const char *bytes, size_t length, GString *errors) {
    KnownList *known = g_new0(KnownList, 1);
    known->path = g_strdup(path);
    known->issues = g_ptr_array_new_with_free_func(issue_free);
    Count bad = 0;
    each_line(bytes, length, [&](const char *line, size_t n, Count number) {
        size_t first = 0;
        while (first < n && blank(line[first])) ++first;
        if (first == n || line[first] == '#') return true;
        KnownIssue *issue = issue_of(path, line, n, number, errors);
        if (issue == nullptr) {
            ++bad;
        } else {
            g_ptr_array_add(known->issues, issue);
        }
        return true;
    });
    if (bad > 0) {
        known_free(known);
        return nullptr;
    }
    return known;
}

KnownList *known_read(const char *path, GString *errors) {
    size_t length = 0;
    char *error = nullptr;
    char *bytes = read_file(path, &length, &error);
    if (bytes == nullptr) {
        g_string_append_printf(errors, "capi-report: %s\n", error);
        g_free(error);
        return nullptr;
    }
    KnownList *known = known_parse(path, bytes, length, errors);
    g_free(bytes);
    return known;
}

void known_free(KnownList *known) {
    if (known == nullptr) return;
    g_free(known->path);
    g_ptr_array_free(known->issues, TRUE);
    g_free(known);
}

char *known_match(KnownList &known, const char *name, const Input &input) {
    char *shown = escaped(name);
    GPtrArray *reasons = g_ptr_array_new();  // const char *: each reason once
    for (guint i = 0; i < known.issues->len; ++i) {
        KnownIssue &issue = *static_cast<KnownIssue *>(g_ptr_array_index(known.issues, i));
        if (!g_pattern_spec_match_string(issue.glob, shown) || !conditions_met(issue, input)) continue;
        issue.seen = true;
        if (!g_ptr_array_find_with_equal_func(reasons, issue.reason, g_str_equal, nullptr)) {
            g_ptr_array_add(reasons, issue.reason);
        }
    }
    g_free(shown);
    char *joined = nullptr;
    if (reasons->len > 0) {
        g_ptr_array_add(reasons, nullptr);
        joined = g_strjoinv("; ", reinterpret_cast<char **>(reasons->pdata));
    }
    g_ptr_array_free(reasons, TRUE);
    return joined;
}

void known_applies(KnownList &known, const Input &input) {
    for (guint i = 0; i < known.issues->len; ++i) {
        KnownIssue &issue = *static_cast<KnownIssue *>(g_ptr_array_index(known.issues, i));
        if (conditions_met(issue, input)) issue.applies = true;
    }
}

}  // namespace capireport
