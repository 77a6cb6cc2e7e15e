/* The tests of a session (see testlist.h). */
#define _POSIX_C_SOURCE 200809L

#include "testlist.h"

#include <dirent.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

const char *capi_cannot_run(const char *path)
{
    struct stat status;
    if (stat(path, &status) != 0) {
        return strerror(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return "not a regular file";
    }
    if (access(path, X_OK) != 0) {
        return "not executable";
    }
    return NULL;
}

static int add_entry(capi_test_list *list, const char *path, const char *reason)
{
    capi_test_entry *entry;
    if (list->count == list->room) {
        const size_t room = list->room != 0 ? list->room * 2 : 16;
        capi_test_entry *items = realloc(list->items, room * sizeof *items);
        if (items == NULL) {
            return -1;
        }
        list->items = items;
        list->room = room;
    }
    entry = &list->items[list->count];
    entry->path = strdup(path);
    entry->reason = reason != NULL ? strdup(reason) : NULL;
    if (entry->path == NULL || (reason != NULL && entry->reason == NULL)) {
        free(entry->path);
        free(entry->reason);
        return -1;
    }
    ++list->count;
    return 0;
}

static int by_name(const struct dirent **a, const struct dirent **b)
{
    return strcmp((*a)->d_name, (*b)->d_name);
}

static int visible(const struct dirent *item)
{
    return item->d_name[0] != '.';
}

static int add_folder(capi_test_list *list, const char *dir)
{
    struct dirent **items;
    const int n = scandir(dir, &items, visible, by_name);
    const char *slash = dir[strlen(dir) - 1] == '/' ? "" : "/";
    int failed = 0;
    int i;
    if (n < 0) {
        return add_entry(list, dir, strerror(errno));
    }
    for (i = 0; i < n; ++i) {
        struct stat status;
        const size_t length = strlen(dir) + 1 + strlen(items[i]->d_name) + 1;
        char *path = malloc(length);
        if (path == NULL) {
            failed = -1;
        } else {
            snprintf(path, length, "%s%s%s", dir, slash, items[i]->d_name);
            if (!failed && stat(path, &status) == 0 && S_ISREG(status.st_mode)) {
                failed = add_entry(list, path, capi_cannot_run(path));
            }
            free(path);
        }
        free(items[i]);
    }
    free(items);
    return failed;
}

int capi_test_list_add(capi_test_list *list, const char *operand)
{
    struct stat status;
    if (stat(operand, &status) == 0 && S_ISDIR(status.st_mode)) {
        return add_folder(list, operand);
    }
    return add_entry(list, operand, capi_cannot_run(operand));
}

void capi_test_list_free(capi_test_list *list)
{
    size_t i;
    for (i = 0; i < list->count; ++i) {
        free(list->items[i].path);
        free(list->items[i].reason);
    }
    free(list->items);
    memset(list, 0, sizeof *list);
}
