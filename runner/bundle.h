/*
 * The console bundle: a results folder carried over a serial console as
 * printable lines, as the session goes, and the way back from a console
 * capture to the folder. The line format is described in docs/console.md.
 *
 * Format 2, which capi-run writes: every line is
 *
 *     @capi SEQ KIND FIELDS... CRC
 *
 * SEQ counts the lines of one start of capi-run from 0; CRC is the CRC-32 of
 * the line up to the space before it, as 8 lowercase hex digits. The
 * session's files go out in parts, each as soon as it is known: part 0 (the
 * head of the summary, the plan), a part per test as soon as the test has
 * ended (its point, its output, its error, its rows), and the last part (the
 * summary's last line). A part's bytes are compressed with zlib in blocks
 * that each decompress on their own, sent 96 bytes a data line, with a
 * parity line for each group of 8 data lines, from which any one lost line
 * of the group is rebuilt:
 *
 *     @capi SEQ B 2 SESSION START              a start of capi-run (1, 2, ... after restarts)
 *     @capi SEQ S PART NAME                    test PART is starting
 *     @capi SEQ D PART BLOCK LINE DATA         compressed bytes, base64
 *     @capi SEQ P PART BLOCK GROUP LINES BYTES DATA   the XOR of a group's data lines
 *     @capi SEQ E PART BLOCKS BYTES            the part is whole: its blocks and bytes
 *     @capi SEQ Z PARTS                        the session's end
 *
 * Format 1 (one whole folder after the session, no compression) is still
 * read back.
 *
 * Plain C. The writer allocates nothing itself (zlib allocates its own
 * state); the reader keeps one block at a time.
 */
#ifndef CAPI_RUN_BUNDLE_H
#define CAPI_RUN_BUNDLE_H

#include <stddef.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Every bundle line begins with it. */
#define CAPI_BUNDLE_PREFIX "@capi "

/* ---- Writing ---- */

typedef struct {
    int fd;                /* where the lines go (standard output) */
    unsigned long seq;     /* the next line's number */
    char session[17];      /* the session's name: 16 hex digits */
    unsigned long lines;   /* lines written */
    unsigned long long bytes; /* bytes written */
} capi_bundle_writer;

/* A file's bytes for a part: `size` bytes of `fd` from `offset`, or the
 * bytes at `bytes` when it is not NULL. `append`: they go to the end of the
 * folder's file of that name (the summary, the rows), which earlier parts
 * began; otherwise they are a file of their own. */
typedef struct {
    const char *name;
    int append;
    int fd;
    off_t offset;
    unsigned long long size;
    const char *bytes;
} capi_bundle_piece;

/* A name for a new session: 16 hex digits and the NUL. */
void capi_bundle_new_session(char *out);

/* Starts the bundle on `fd`: its begin line, for the session named
 * `session` (16 hex digits; NULL: a new name is made), at this start of
 * capi-run (1, then 2, ... when the session goes on after a restart).
 * Returns 0, or -1 with errno. */
int capi_bundle_begin(capi_bundle_writer *writer, int fd, const char *session, unsigned start);

/* The line that says test `part` (named `name`) is starting. */
int capi_bundle_starting(capi_bundle_writer *writer, unsigned long part, const char *name);

/* Sends part `part`: its files' bytes, compressed, with their parity lines.
 * A file that cannot be read whole leaves its part short of bytes, which
 * the reader names. Returns 0, or -1 with errno when a line cannot be
 * written or the compressor fails. */
int capi_bundle_part(capi_bundle_writer *writer, unsigned long part, const capi_bundle_piece *pieces,
                     size_t count);

/* The session's end: `parts` parts were sent in all. */
int capi_bundle_end(capi_bundle_writer *writer, unsigned long parts);

/* ---- Reading ---- */

/* What a capture shows after the test that was running when it ends. */
typedef enum {
    CAPI_BUNDLE_AFTER_NOTHING, /* the capture ends */
    CAPI_BUNDLE_AFTER_PANIC,   /* the kernel's "Kernel panic" line */
    CAPI_BUNDLE_AFTER_BOOT     /* a new boot of the gateway */
} capi_bundle_after;

typedef struct {
    int format;                /* 1 or 2; 0 when the capture holds no bundle */
    int ended;                 /* the session's end line came */
    unsigned long parts;       /* parts the session has, from its end line (0 before it) */
    unsigned long last_ended;  /* the last test whose part came, 0 for none */
    char last_ended_name[256];
    unsigned long running;     /* a test that started and whose part never came, 0 for none */
    char running_name[256];
    capi_bundle_after after;   /* what the capture shows after the running test */
    unsigned long repaired;    /* lines put together again from pieces or cleared of other text */
    unsigned long rebuilt;     /* lines rebuilt from their group's parity line */
    unsigned long starts;      /* starts of capi-run the capture holds */
} capi_bundle_outcome;

typedef void (*capi_bundle_problem)(const char *message, void *data);
/* Bytes `first` to `last` of the folder's file `name` did not come: they
 * read as zero bytes in the file. */
typedef void (*capi_bundle_gap)(const char *name, unsigned long long first, unsigned long long last, void *data);

typedef struct {
    capi_bundle_problem problem;
    capi_bundle_gap gap;
    void *data;
} capi_bundle_handlers;

/*
 * Reads the console capture at `capture` (any bytes: other lines, text
 * inside the bundle's lines, CRs added, lines cut and mixed, several starts
 * of capi-run one after another) and recreates the bundle's files in the
 * folder `dir`, made when missing; a file of its own that is already there
 * is not overwritten. Lines without CAPI_BUNDLE_PREFIX are not the bundle's
 * and are passed over. Each problem goes to `problem` (when given) as
 * "CAPTURE:LINE: reason": a line lost beyond repair, bytes of a file that
 * did not come (also to `gap`: a file with a gap is kept, its gap named), a
 * part lost, a bundle without its end, no bundle at all. `outcome` (when
 * given) says how far the session came. Returns 0 when every file was
 * recovered whole, the number of problems otherwise, or -1 with errno when
 * the capture cannot be read or `dir` cannot be made.
 */
int capi_bundle_read(const char *capture, const char *dir, const capi_bundle_handlers *handlers,
                     capi_bundle_outcome *outcome);

/* The same, with problems only. */
int capi_bundle_unpack(const char *capture, const char *dir, capi_bundle_problem problem, void *data);

#ifdef __cplusplus
}
#endif

#endif /* CAPI_RUN_BUNDLE_H */
