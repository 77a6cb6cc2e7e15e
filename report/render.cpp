// What the renderers share: names and paths shown, where a call stands, a
// failing field.
#include "render.h"

#include <string.h>

#include "fieldaudit_tools.h"

namespace capireport {
namespace render {

const char *status(bool pass) { return pass ? "PASS" : "FAIL"; }

void append_shown(GString *out, const char *text) {
    const size_t length = strlen(text);
    const size_t start = out->len;
    g_string_set_size(out, start + fieldaudit::escaped_length(text, length));
    fieldaudit::escape(text, length, out->str + start);
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

const FailedField &failure_at(const Call &call, guint i) {
    return *static_cast<const FailedField *>(g_ptr_array_index(call.failures, i));
}

}  // namespace render
}  // namespace capireport
