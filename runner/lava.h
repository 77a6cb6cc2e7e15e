/*
 * capi-run's report to LAVA, the board-farm engine. Inside a LAVA test shell
 * (its helper lava-test-case on the PATH) or with --lava, each test point
 * becomes a LAVA test set as it finishes, through LAVA's own helpers
 * (lava-test-set, lava-test-case):
 *
 *     set  capi_demo
 *       case capi_demo.CheckTolvaDeviceInfo_t   pass   a checker call of its output
 *       case capi_demo.device_info_function     pass   a sheet row it appended
 *       case capi_demo._log_                    fail   lines of the kit outside any call
 *       case capi_demo._sheet_                  fail   a line it appended that is no row
 *       ...
 *       case capi_demo                          pass   its outcome, with its seconds
 *
 * so that LAVA's results show what the kit's JUnit shows. The checker calls
 * are read from the test's captured output by capi-report (the one beside
 * capi-run), as for the JUnit. Names are made of LAVA's characters (letters,
 * digits, "_", "-", "."): a run of other bytes becomes one "_"; they are cut
 * to LAVA's length and kept unique within the session (".2", ".3", ...).
 */
#ifndef CAPI_RUN_LAVA_H
#define CAPI_RUN_LAVA_H

#include <stddef.h>

#include "session.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Longest test set name and test case name (bytes). */
#define CAPI_LAVA_SET_MAX 64
#define CAPI_LAVA_CASE_MAX 100
/* Names remembered to keep them unique; past that, every name gets a number. */
#define CAPI_LAVA_NAMES 2048

typedef struct {
    int on;                     /* reporting to LAVA */
    const char *results;        /* the session's results folder */
    const char *report;         /* capi-report, or null: no cases for checker calls */
    unsigned long long used[CAPI_LAVA_NAMES]; /* hashes of the names given out */
    size_t used_count;
    unsigned long numbered;     /* names numbered once `used` was full */
} capi_lava;

/*
 * Whether the session reports to LAVA: when `forced`, or when
 * lava-test-case is an executable file in a folder of the PATH. `report`
 * (capi-report's path, or null) must stay valid, as must `results`.
 */
void capi_lava_start(capi_lava *lava, int forced, const char *results, const char *report);

/* Reports one finished test point (busprobe's too); nothing when not on. */
void capi_lava_point(capi_lava *lava, const capi_session_test *test);

/*
 * Writes `length` bytes of `name` into `out` as a LAVA name of at most
 * `max` bytes (`size` > `max`): LAVA's characters kept, a run of other bytes
 * as one "_", nothing at all as "_". Returns the length.
 */
size_t capi_lava_name(const char *name, size_t length, size_t max, char *out, size_t size);

/*
 * Makes `name` (a LAVA name, room for `size` bytes) unique among the set
 * names (`set` non-zero) or case names given out so far by appending ".2",
 * ".3", ... within `max` bytes, and remembers it. Returns its length.
 */
size_t capi_lava_unique(capi_lava *lava, int set, char *name, size_t max, size_t size);

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_LAVA_H */
