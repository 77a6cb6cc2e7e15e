// Check_data_format with any value, any name, and any text (or none) in the
// pattern variable of any format.
#include "fieldaudit.h"
#include "fieldaudit_tools.h"
#include "support.h"

namespace {

#define FUZZ_PATTERN_ADDRESS(name, variable, pattern) &variable,
const char **const kPatternVariables[] = {FIELDAUDIT_FORMATS(FUZZ_PATTERN_ADDRESS)};
const unsigned kFormats = fieldaudit::kFormatCount;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Input in(data, size);
    const uint8_t mode = in.byte();
    const unsigned format = in.byte() % kFormats;
    char *value = in.text();
    // Mostly a real format name, so that the patterns are searched; else any text.
    char *name = (mode & 1) ? in.text() : nullptr;
    const char *used_name = name ? name : DATA_FORMAT_MAP[format].name;
    char *pattern = nullptr;
    const char *saved = *kPatternVariables[format];
    if (mode & 2) {
        pattern = in.text();
        *kPatternVariables[format] = pattern;
    } else if (mode & 4) {
        *kPatternVariables[format] = nullptr;
    }
    const int verdict = Check_data_format(value, used_name);
    if (verdict != 0 && verdict != 1) abort();
    if (value[0] == '\0' && verdict != 0) abort();
    const int index = find_data_format_index(used_name);
    if (index < -1 || index >= static_cast<int>(kFormats)) abort();
    // Once the variable holds its own pattern again, the check stays sound.
    *kPatternVariables[format] = saved;
    if (Check_data_format(value, used_name) > 1) abort();
    free(pattern);
    free(name);
    free(value);
    return 0;
}
