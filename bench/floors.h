// The floors a format check is measured against: compiling its pattern as the
// library does, and matching a value on a compiled pattern as the library
// does (the whole value when built with FIELDAUDIT_WHOLE_VALUE). The match is
// a copy of the library's own (fieldaudit/formats.cpp) by definition: the
// floor is that match without the format lookup, the UTF-8 checks and the
// kept patterns, measured apart from them; it follows any change there.
#ifndef TOLVA_BENCH_FLOORS_H
#define TOLVA_BENCH_FLOORS_H

#include <glib.h>
#include <string.h>

static inline GRegex *floor_compile(const char *pattern, GRegexCompileFlags flags) {
    return g_regex_new(pattern, flags, static_cast<GRegexMatchFlags>(0), nullptr);
}

#ifdef FIELDAUDIT_WHOLE_VALUE

static inline bool floor_whole(GMatchInfo *match, gint length) {
    gint start = -1;
    gint end = -1;
    return g_match_info_fetch_pos(match, 0, &start, &end) && start == 0 && end == length && end > start;
}

// The anchored first match, and every anchored match when it falls short.
static inline int floor_match(const GRegex *compiled, const char *value) {
    const gint length = static_cast<gint>(strlen(value));
    GMatchInfo *match = nullptr;
    int verdict = g_regex_match(compiled, value, G_REGEX_MATCH_ANCHORED, &match) && floor_whole(match, length);
    g_match_info_free(match);
    if (verdict) return 1;
    match = nullptr;
    verdict = g_regex_match_all(compiled, value, G_REGEX_MATCH_ANCHORED, &match) && floor_whole(match, length);
    g_match_info_free(match);
    return verdict;
}

#else

static inline int floor_match(const GRegex *compiled, const char *value) {
    GMatchInfo *match = nullptr;
    const int verdict = g_regex_match(compiled, value, static_cast<GRegexMatchFlags>(0), &match) &&
                        g_match_info_get_match_count(match) > 0;
    g_match_info_free(match);
    return verdict;
}

#endif

#endif
