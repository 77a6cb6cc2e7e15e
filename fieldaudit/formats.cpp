// Named data formats: the format-name table and the pattern variables, made
// from the one list of formats (fieldaudit_tools.h), and the pattern search
// behind Check_data_format: unanchored, or, built with FIELDAUDIT_WHOLE_VALUE
// (the fieldaudit_strict library), a match of the whole value.
#include "fieldaudit.h"
#include "internal.h"

#include <glib.h>
#include <string.h>

#include <atomic>

extern "C" {

// Pattern texts as GLib (PCRE) regular expressions. They are variables so that
// a test program can point one at another pattern; every check reads them anew.
#define FIELDAUDIT_PATTERN_VARIABLE(name, variable, pattern) const char *variable = pattern;
FIELDAUDIT_FORMATS(FIELDAUDIT_PATTERN_VARIABLE)
#undef FIELDAUDIT_PATTERN_VARIABLE

// The named formats in index order; the slots after them are empty (no name,
// never matched).
#define FIELDAUDIT_FORMAT_SLOT(name, variable, pattern) {name, fieldaudit::kFormatIndexOf_##variable},
const DataFormatMap_t DATA_FORMAT_MAP[30] = {FIELDAUDIT_FORMATS(FIELDAUDIT_FORMAT_SLOT)};
#undef FIELDAUDIT_FORMAT_SLOT
static_assert(fieldaudit::kFormatCount < sizeof DATA_FORMAT_MAP / sizeof DATA_FORMAT_MAP[0],
              "an empty slot after the named formats");

}  // extern "C"

namespace {

using fieldaudit::kFormatCount;

// Pattern variable of each format, by format index.
#define FIELDAUDIT_PATTERN_ADDRESS(name, variable, pattern) &variable,
const char *const *const kPatterns[] = {FIELDAUDIT_FORMATS(FIELDAUDIT_PATTERN_ADDRESS)};
#undef FIELDAUDIT_PATTERN_ADDRESS

// Compiled patterns kept for the life of the process
//
// Compiling a pattern costs far more than matching it (the IPv6 pattern over
// ten times more), and test programs check the same formats thousands of
// times. So each format keeps the pattern compiled at its first check, and
// later checks only match. This table is the one piece of mutable static
// state in the library, allowed for this cache alone; everything else stays
// free of it.
//
// - Every check still reads the pattern variable and compares its text with
//   the kept pattern's text (GLib keeps a copy of the text it compiled), so a
//   test program may point the variable elsewhere or rewrite the text it
//   points at, and the check follows.
// - A slot is written once: empty to its first compiled pattern, published
//   with a compare-and-swap (release) and read with an acquire load. Nothing
//   on the match path takes a lock, and a kept pattern is never freed, so no
//   check can find one freed under it. A compiled pattern is immutable and
//   GLib matches it from several threads at once.
// - A check whose pattern text differs from the kept one (the variable was
//   changed after its format's first check) compiles, matches and frees, as
//   every check did before the cache; so does the loser of two first checks
//   racing to fill a slot. Memory stays bounded: one kept pattern per format.
// - Kept patterns stay reachable from this table until the process ends.
//
// Compile options: none, by measurement. PCRE2's JIT (G_REGEX_OPTIMIZE)
// matches two to three times faster but compiles four to ten times slower,
// so it pays only after some 50 to 200 checks of a format in one process (the
// IPv6 pattern at the high end), and a test program that checks a record a
// few times loses by it. It also needs executable memory, which a hardened
// gateway may refuse, and keeps the generated code for every kept pattern.
std::atomic<GRegex *> kept[kFormatCount] = {};

// Compiles a pattern as given, or gives null: a pattern that is not valid
// UTF-8 is refused before it reaches the compiler, which would otherwise run
// on it unchecked.
GRegex *compile(const char *pattern) {
    if (!g_utf8_validate(pattern, -1, nullptr)) {
        return nullptr;
    }
    return g_regex_new(pattern, static_cast<GRegexCompileFlags>(0), static_cast<GRegexMatchFlags>(0), nullptr);
}

#ifdef FIELDAUDIT_WHOLE_VALUE

// Whether the match that `match` holds runs from the first byte of the value
// to its last (`length` of them) and is not empty.
bool whole(GMatchInfo *match, gint length) {
    gint start = -1;
    gint end = -1;
    return g_match_info_fetch_pos(match, 0, &start, &end) && start == 0 && end == length && end > start;
}

// 1 when the pattern matches the whole value, first byte to last (a trailing
// newline is part of the value), and the match is not empty. The match is
// anchored at the start. Usually the first match found covers the value; but
// a leftmost-first match can stop short of a whole-value match that exists
// ("(WPA)?(WPA2)?" takes "WPA" of "WPA2"), so when it does, every match at
// the start is asked for, which the DFA matcher gives longest first. A
// pattern the DFA matcher cannot run (back references, backtracking verbs)
// is left with the first match's verdict: it never passes a value that is
// not matched whole.
int matches(const GRegex *compiled, const char *value) {
    const gint length = static_cast<gint>(strlen(value));
    GMatchInfo *match = nullptr;
    int verdict = g_regex_match(compiled, value, G_REGEX_MATCH_ANCHORED, &match) && whole(match, length);
    g_match_info_free(match);
    if (verdict) {
        return 1;
    }
    match = nullptr;
    GError *error = nullptr;
    verdict = g_regex_match_all_full(compiled, value, length, 0, G_REGEX_MATCH_ANCHORED, &match, &error) &&
              whole(match, length);
    if (error != nullptr) {
        g_error_free(error);
    }
    g_match_info_free(match);
    return verdict;
}

#else

// 1 when the pattern finds a match anywhere in the value. The first match
// decides: later ones cannot change the verdict.
int matches(const GRegex *compiled, const char *value) {
    GMatchInfo *match = nullptr;
    const int verdict = g_regex_match(compiled, value, static_cast<GRegexMatchFlags>(0), &match) &&
                        g_match_info_get_match_count(match) > 0;
    g_match_info_free(match);
    return verdict;
}

#endif

// The verdict of format `index` on the value, with the pattern text read from
// its variable for this check. A value that is not valid UTF-8 is refused
// before it reaches the matcher; a pattern that does not compile gives 0.
int regex(unsigned int index, const char *value, const char *pattern) {
    if (pattern == nullptr || !g_utf8_validate(value, -1, nullptr)) {
        return 0;
    }
    std::atomic<GRegex *> &slot = kept[index];
    GRegex *const current = slot.load(std::memory_order_acquire);
    if (current != nullptr && strcmp(g_regex_get_pattern(current), pattern) == 0) {
        return matches(current, value);
    }
    GRegex *const compiled = compile(pattern);
    if (compiled == nullptr) {
        return 0;
    }
    const int verdict = matches(compiled, value);
    GRegex *empty = nullptr;
    if (current != nullptr ||
        !slot.compare_exchange_strong(empty, compiled, std::memory_order_release, std::memory_order_relaxed)) {
        g_regex_unref(compiled);  // never published: no other check can hold it
    }
    return verdict;
}

}  // namespace

extern "C" {

int find_data_format_index(const char *name) {
    if (name == nullptr) {
        return -1;
    }
    for (const DataFormatMap_t &slot : DATA_FORMAT_MAP) {
        if (slot.name == nullptr) {
            break;  // the filled slots come first
        }
        if (strcmp(slot.name, name) == 0) {
            return static_cast<int>(slot.index);
        }
    }
    return -1;
}

int Check_data_format(const char *value, const char *format_name) {
    if (value == nullptr || value[0] == '\0') {
        return 0;
    }
    const unsigned int index = static_cast<unsigned int>(find_data_format_index(format_name));
    if (index >= kFormatCount) {
        return 0;
    }
    return regex(index, value, *kPatterns[index]);
}

}  // extern "C"
