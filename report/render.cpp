// What the renderers share: names and paths shown, where a call stands, a
// failing field.
#include "render.h"

#include <string.h>

#include "fieldaudit_tools.h"
#include "text.h"

namespace capireport {
namespace render {

const char *status(bool pass) { return pass ? "PASS" : "FAIL"; }

void append_shown(GString *out, const char *text) {
    const size_t length = strlen(text);
    const size_t start = out->len;
    g_string_set_size(out, start + fieldaudit::escaped_length(text, length));
    fieldaudit::escape(text, length, out->str + start);
}

void append_markup(GString *out, const char *text) {
    const size_t length = strlen(text);
    char *valid = g_utf8_make_valid(text, static_cast<gssize>(length));
    GString *clean = g_string_sized_new(length);
    for (const char *p = valid; *p; p = g_utf8_next_char(p)) {
        const gunichar c = g_utf8_get_char(p);
        if (c < 0x20 || c == 0x7f) {
            g_string_append_printf(clean, "\\x%02x", c);
        } else if ((c >= 0x80 && c <= 0x9f) || c == 0xfffe || c == 0xffff) {
            g_string_append_printf(clean, "\\u%04x", c);
        } else {
            g_string_append_len(clean, p, g_utf8_next_char(p) - p);
        }
    }
    char *escaped = g_markup_escape_text(clean->str, static_cast<gssize>(clean->len));
    g_string_append(out, escaped);
    g_free(escaped);
    g_string_free(clean, TRUE);
    g_free(valid);
}

void append_escaped(GString *out, const char *text, const char *special) {
    const size_t length = text != nullptr ? strlen(text) : 0;
    const size_t start = out->len;
    // At most four bytes for each byte, and the NUL.
    g_string_set_size(out, start + 4 * length + 1);
    const size_t n = capi_escape(text != nullptr ? text : "", length, special, out->str + start, 4 * length + 1);
    g_string_set_size(out, start + n);
}

void where(const Call &call, char between, char *space, size_t size) {
    if (call.first_line == call.last_line) {
        g_snprintf(space, size, "line%c%llu", between, call.first_line);
    } else {
        g_snprintf(space, size, "lines%c%llu-%llu", between, call.first_line, call.last_line);
    }
}

void append_failure(GString *out, const FailedField &f, bool values) {
    if (values && f.result != nullptr) {
        g_string_append_printf(out, "%s: result=\"%s\" target=\"%s\": %s", f.label, f.result, f.target, f.reason);
    } else {
        g_string_append_printf(out, "%s: %s", f.label, f.reason);
    }
}

const char *plain_message(const TestCase &c) {
    const size_t skip = c.mark && c.message && g_str_has_prefix(c.message, c.mark) ? strlen(c.mark) + 2 : 0;
    return c.message + (strlen(c.message) >= skip ? skip : 0);
}

const FailedField &failure_at(const Call &call, guint i) {
    return *static_cast<const FailedField *>(g_ptr_array_index(call.failures, i));
}

char *call_name(const Call &call) {
    if (call.heading == nullptr) return g_strdup(call.name);
    return g_strdup_printf("%s%s %s", call.heading, g_str_has_suffix(call.heading, ":") ? "" : ":", call.name);
}

void make_unique(GPtrArray *names) {
    GHashTable *seen = g_hash_table_new(g_str_hash, g_str_equal);  // name -> occurrences so far
    for (guint i = 0; i < names->len; ++i) {
        const char *name = static_cast<const char *>(g_ptr_array_index(names, i));
        g_hash_table_insert(seen, const_cast<char *>(name),
                            GUINT_TO_POINTER(GPOINTER_TO_UINT(g_hash_table_lookup(seen, name)) + 1));
    }
    GHashTable *placed = g_hash_table_new(g_str_hash, g_str_equal);  // name -> occurrences renamed
    GPtrArray *old = g_ptr_array_new_with_free_func(g_free);         // the keys of both, freed last
    for (guint i = 0; i < names->len; ++i) {
        char *name = static_cast<char *>(g_ptr_array_index(names, i));
        if (GPOINTER_TO_UINT(g_hash_table_lookup(seen, name)) < 2) continue;
        const guint place = GPOINTER_TO_UINT(g_hash_table_lookup(placed, name)) + 1;
        g_hash_table_insert(placed, name, GUINT_TO_POINTER(place));
        names->pdata[i] = g_strdup_printf("%s #%u", name, place);
        g_ptr_array_add(old, name);
    }
    g_hash_table_destroy(placed);
    g_hash_table_destroy(seen);
    g_ptr_array_free(old, TRUE);
}

char *row_failure(const Row &row) {
    return g_strdup_printf("failed at line %llu, run %llu of %llu", row.line, row.run, row.name->runs);
}

char *what_happened(const SessionTest &test) {
    if (test.missing != nullptr) return g_strdup(test.missing);
    const capi_session_test &p = test.point;
    char what[CAPI_SESSION_TEXT_MAX + 128];
    capi_session_what(&p, what, sizeof what);
    GString *text = g_string_new(what);
    if (p.out.error[0] != '\0') g_string_append_printf(text, ", standard output: %s", p.out.error);
    if (p.err.error[0] != '\0') g_string_append_printf(text, ", standard error: %s", p.err.error);
    return g_string_free(text, FALSE);
}

char *known_text(const char *reason) { return g_strdup_printf("known: %s", reason); }

const SessionTest &test_at(const Input &session, guint i) {
    return *static_cast<const SessionTest *>(g_ptr_array_index(session.tests, i));
}

}  // namespace render
}  // namespace capireport
