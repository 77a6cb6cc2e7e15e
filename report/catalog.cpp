// The checker catalog, built once from the checkers' step lists.
#include "catalog.h"

#include <glib.h>
#include <string.h>

namespace capireport {

const Info *find_info(const Catalog &catalog, const char *name) {
    for (size_t k = 0; k < catalog.count; ++k) {
        if (strcmp(catalog.infos[k].checker->name, name) == 0) return &catalog.infos[k];
    }
    return nullptr;
}

Catalog *catalog_new() {
    Catalog *catalog = g_new0(Catalog, 1);
    catalog->count = fieldaudit::kCheckerCount;
    catalog->infos = g_new0(Info, catalog->count);
    for (size_t k = 0; k < catalog->count; ++k) {
        Info &info = catalog->infos[k];
        info.checker = &fieldaudit::kCheckers[k];
        info.count = info.checker->describe(info.steps, fieldaudit::kMaxSteps);
        if (info.count > fieldaudit::kMaxSteps) info.count = fieldaudit::kMaxSteps;
        if (!info.checker->has_target) catalog->walk = &info;
        for (size_t i = 0; i < info.count; ++i) {
            const char *failure = info.steps[i].failure;
            const size_t n = failure ? strlen(failure) : 0;
            if (n >= 2) catalog->failure_ends[static_cast<unsigned char>(failure[n - 2])] = true;
        }
    }
    for (size_t k = 0; k < catalog->count; ++k) {
        Info &info = catalog->infos[k];
        for (size_t i = 0; i < info.count; ++i) {
            const Checker *sub = info.steps[i].kind == Step::kSub ? info.steps[i].sub : nullptr;
            info.subs[i] = sub ? find_info(*catalog, sub->name) : nullptr;
        }
    }
    for (size_t k = 0; k < catalog->count; ++k) {
        Info &info = catalog->infos[k];
        const Info *first = &info;
        while (first && first->count > 0 && first->steps[0].kind == Step::kSub) first = first->subs[0];
        info.first = first;
        const size_t lines = fieldaudit::most_lines(*info.checker) + 1;
        if (lines > catalog->window) catalog->window = lines;
    }
    return catalog;
}

void catalog_keep_fields(Catalog *catalog) { catalog->keep_fields = true; }

void catalog_free(Catalog *catalog) {
    if (catalog == nullptr) return;
    g_free(catalog->infos);
    g_free(catalog);
}

}  // namespace capireport
