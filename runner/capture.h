/*
 * A console capture read for the bundle's lines, whatever else the console
 * carried: CRs anywhere, text after a line's checksum, and text inserted in
 * the middle of a line (a kernel message printed while the line was going
 * out) with the line's rest on a later capture line. A bundle line is handed
 * on only when its checksum proves it, as it came or put together again.
 * Internal to runner/.
 */
#ifndef CAPI_RUN_CAPTURE_H
#define CAPI_RUN_CAPTURE_H

#include <stddef.h>

typedef struct {
    /* A bundle line whose checksum holds, without its " CRC" (`repaired`:
     * other text had to be taken out of it, or it was put together from
     * two capture lines). `number` is the capture's line where it ends. */
    void (*line)(void *data, const char *text, size_t length, unsigned long number, int repaired);
    /* Every capture line as it came (CRs left out), bundle lines and the
     * kernel's alike, before what it holds of the bundle is handed on. */
    void (*other)(void *data, const char *text, size_t length, unsigned long number);
    /* A line that began as a bundle line and could not be proved by its
     * checksum, however put together. */
    void (*damaged)(void *data, unsigned long number);
    void *data;
} capture_handlers;

/* Reads the capture at `path` line by line to its end. Returns 0, or -1
 * with errno when it cannot be opened or read. */
int capture_read(const char *path, const capture_handlers *handlers);

#endif /* CAPI_RUN_CAPTURE_H */
