/*
 * The steps of a session that main.c puts in order: its head, each planned
 * test (run, or reported as not started), what a restart of the gateway
 * left (a session that goes on), its end; and the journal's records
 * between them. Internal to capi-run.
 */
#ifndef CAPI_RUN_STEPS_H
#define CAPI_RUN_STEPS_H

#include "console.h"
#include "folder.h"
#include "journal.h"
#include "lava.h"
#include "options.h"
#include "process.h"
#include "rows.h"
#include "run.h"
#include "session.h"
#include "testlist.h"

#include <stddef.h>

#define CAPI_BUSPROBE_NAME "busprobe"

/* A test of the session's plan. */
typedef struct {
    const char *path;
    const char *name;
    const char *reason; /* why it cannot run, or NULL */
    int busprobe;
} capi_planned;

typedef struct {
    capi_run_options opt;
    capi_folder folder;
    capi_console console;
    capi_kept_file sheet_copy;
    capi_rows rows;
    run_limits limits;
    capi_lava lava;
    capi_journal journal;
    int journaled;        /* --journal */
    int resumed;          /* the session goes on after a restart */
    capi_planned *plan;   /* the tests in order, busprobe last */
    const char **names;
    size_t count;
    unsigned points;      /* test points so far */
    unsigned not_ok;
    const char *stopped;  /* the session ended early: why, for the tests it left (in `why`) */
    char why[CAPI_SESSION_TEXT_MAX + 1];
} session;

/* The summary's head (its plan, results folder, labels) and the bundle's
 * first part; in the journal, that it is written. */
void capi_begin(session *s);

/* A session that goes on after a restart: the restart counted, and the test
 * that was running reported (restarted, run again when it restarts the
 * gateway on purpose, or a restart loop that ends the session). */
void capi_resume(session *s);

/* Planned test `index` (from 0): run, or reported as not started. */
void capi_run_planned(session *s, size_t index);

/* The summary's last lines, the bundle's last part; in the journal, the
 * session's end. */
void capi_end(session *s);

#endif /* CAPI_RUN_STEPS_H */
