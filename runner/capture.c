/* A console capture read for the bundle's lines (see capture.h). */
#define _POSIX_C_SOURCE 200809L

#include "capture.h"

#include "bundle.h"
#include "bundle_format.h"
#include "text.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <zlib.h>

#define PREFIX_LENGTH (sizeof CAPI_BUNDLE_PREFIX - 1)
/* Bytes of a capture line that are kept: a bundle line and a kernel
 * message or two in it. */
#define RAW_MAX (2 * BUNDLE_LINE_MAX)
/* The capture lines kept to put a cut line together again: its beginning,
 * up to two pieces between (text inserted two or three times into one
 * line), its rest. */
#define RECENT 4
/* Places in one line where a checksum may stand. */
#define ENDS_MAX 16

typedef struct {
    char text[RAW_MAX];
    size_t length;
    size_t prefix;  /* where a bundle line begins in it; `length` when none does */
    size_t partial; /* other text came inside the prefix: the bytes of it here (else 0) */
    unsigned long number;
    int open;       /* a bundle line began here and its rest has not come */
    int spare;      /* a piece without a line of its own, free to be a middle */
} recent;

typedef struct {
    const capture_handlers *h;
    recent lines[RECENT];
    size_t next;    /* the slot the next line takes */
    char joined[2 * BUNDLE_LINE_MAX];
    struct cut_list {
        size_t at[BUNDLE_LINE_MAX + 1];
        size_t count;
    } cuts[3];
} reader;

/* Where a " XXXXXXXX" checksum may stand in `text`: the positions of its
 * space, with the CRC-32 of the text before each and the value written. */
typedef struct {
    size_t at;
    unsigned long crc;
    unsigned long written;
} end_mark;

static size_t ends(const char *text, size_t length, end_mark *marks)
{
    unsigned long crc = crc32(0L, Z_NULL, 0);
    size_t count = 0;
    size_t done = 0;
    size_t p;
    for (p = 0; p + 9 <= length && count < ENDS_MAX; ++p) {
        if (text[p] != ' ' || !capi_read_crc(text + p + 1, &marks[count].written)) {
            continue;
        }
        crc = crc32(crc, (const Bytef *)text + done, (uInt)(p - done));
        done = p;
        marks[count].at = p;
        marks[count].crc = crc;
        ++count;
    }
    return count;
}

/* The bundle line at the start of `text`, its length up to its checksum when
 * that holds (text after it is passed over); 0 when none holds. */
static size_t proved(const char *text, size_t length)
{
    end_mark marks[ENDS_MAX];
    const size_t count = ends(text, length, marks);
    size_t i;
    for (i = 0; i < count; ++i) {
        if (marks[i].crc == marks[i].written && marks[i].at >= PREFIX_LENGTH) {
            return marks[i].at;
        }
    }
    return 0;
}

/* The first place of the prefix in `text` from `from` on, or `length`. */
static size_t find_prefix(const char *text, size_t length, size_t from)
{
    size_t i;
    for (i = from; i + PREFIX_LENGTH <= length; ++i) {
        if (text[i] == CAPI_BUNDLE_PREFIX[0] && memcmp(text + i, CAPI_BUNDLE_PREFIX, PREFIX_LENGTH) == 0) {
            return i;
        }
    }
    return length;
}

/* Where a line's own text may end in a piece and other text begin: every
 * place in a short piece; in a long one, or in a line of three or four
 * pieces, only the places up to the first byte that no data or parity line
 * holds and a few before it, which bounds the work. */
typedef struct cut_list cuts;

#define NEAR_FOREIGN 32
#define EVERY_CUT 256

static void find_cuts(const char *text, size_t length, size_t from, int every, cuts *c)
{
    static const char kLineBytes[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/= ";
    size_t last = length < BUNDLE_LINE_MAX ? length : BUNDLE_LINE_MAX;
    size_t lo = from;
    size_t p;
    if (!every || last > EVERY_CUT) {
        size_t foreign = from;
        while (foreign < last && text[foreign] != '\0' && strchr(kLineBytes, text[foreign]) != NULL) {
            ++foreign;
        }
        last = foreign;
        lo = foreign > from + NEAR_FOREIGN ? foreign - NEAR_FOREIGN : from;
    }
    c->count = 0;
    for (p = lo; p <= last; ++p) {
        c->at[c->count++] = p;
    }
}

/* The line's beginning in `head` (from its prefix), the pieces of up to two
 * `middles`, and its rest in `text` (`length` bytes): each cut where other
 * text began. 1 with the line in r->joined when its checksum proves it,
 * wherever the pieces split it (its checksum among them). */
static int join(reader *r, const recent *head, recent *const *middles, size_t count, const char *text,
                size_t length, size_t *joined_length)
{
    const char *pieces[3];
    size_t index[3] = {0, 0, 0};
    size_t at[4];
    size_t depth = 0;
    pieces[0] = head->text + head->prefix;
    if (head->partial > 0) {
        /* Cut inside the prefix: the piece is what came of it. */
        r->cuts[0].at[0] = head->partial;
        r->cuts[0].count = 1;
    } else {
        find_cuts(pieces[0], head->length - head->prefix, PREFIX_LENGTH, count == 0, &r->cuts[0]);
    }
    for (depth = 0; depth < count; ++depth) {
        pieces[depth + 1] = middles[depth]->text;
        find_cuts(middles[depth]->text, middles[depth]->length, 1, 0, &r->cuts[depth + 1]);
    }
    /* Every choice of a cut in each piece, the head's first; the pieces
     * laid one after the other into r->joined. */
    depth = 0;
    at[0] = 0;
    for (;;) {
        const cuts *c = &r->cuts[depth];
        size_t n;
        if (index[depth] == c->count) {
            if (depth == 0) {
                return 0;
            }
            index[depth] = 0;
            ++index[--depth];
            continue;
        }
        n = c->at[index[depth]];
        if (at[depth] + n + length > sizeof r->joined) {
            ++index[depth];
            continue;
        }
        memcpy(r->joined + at[depth], pieces[depth], n);
        at[depth + 1] = at[depth] + n;
        if (depth < count) {
            ++depth;
            continue;
        }
        memcpy(r->joined + at[depth + 1], text, length);
        n = proved(r->joined, at[depth + 1] + length);
        if (n > at[depth + 1] - (at[depth + 1] > 8 ? 8 : at[depth + 1])) {
            *joined_length = n;
            return 1;
        }
        ++index[depth];
    }
}

/* Where a bundle line begins in a line whose prefix other text cut: the
 * last "@" followed by the prefix's first bytes up to other text (or the
 * line's end); with the number of those bytes in *partial. */
static size_t find_partial(const char *text, size_t length, size_t *partial)
{
    size_t j = length;
    while (j-- > 0) {
        size_t k = 0;
        if (text[j] != CAPI_BUNDLE_PREFIX[0]) {
            continue;
        }
        while (k < PREFIX_LENGTH && j + k < length && text[j + k] == CAPI_BUNDLE_PREFIX[k]) {
            ++k;
        }
        if (k < PREFIX_LENGTH) {
            *partial = k;
            return j;
        }
    }
    *partial = 0;
    return length;
}

/* The kept line `back` lines before the newest. */
static recent *before(reader *r, size_t back)
{
    return &r->lines[(r->next + RECENT - 1 - back) % RECENT];
}

static void on_line(reader *r, const char *text, size_t length, unsigned long number)
{
    const size_t first = find_prefix(text, length, 0);
    recent *slot = &r->lines[r->next];
    size_t start;
    size_t back;
    if (r->h->other != NULL) {
        r->h->other(r->h->data, text, length, number);
    }
    /* The oldest line leaves: a bundle line begun there is lost (one whose
     * prefix itself was cut may have been any "@" of other text). */
    if (slot->open && slot->partial == 0 && r->h->damaged != NULL) {
        r->h->damaged(r->h->data, slot->number);
    }
    memcpy(slot->text, text, length);
    slot->length = length;
    slot->prefix = first;
    slot->partial = 0;
    slot->number = number;
    slot->open = 0;
    slot->spare = first == length;
    r->next = (r->next + 1) % RECENT;
    /* A bundle line whole, maybe with other text before or after it. */
    for (start = first; start < length; start = find_prefix(text, length, start + 1)) {
        const size_t n = proved(text + start, length - start);
        if (n > 0) {
            slot->spare = 0;
            r->h->line(r->h->data, text + start, n, number, start > 0 || start + n + 9 != length);
            return;
        }
    }
    /* The rest of a line that other text cut (up to where a bundle line
     * begins anew in this one): put together with the newest line begun
     * before it, directly, or with the pieces of one or two lines between
     * (other text cut it twice or three times). */
    for (back = 1; back < RECENT; ++back) {
        recent *head = before(r, back);
        recent *middles[2];
        size_t joined = 0;
        size_t count;
        if (!head->open) {
            continue;
        }
        for (count = 0; count < back && count <= 2; ++count) {
            size_t k;
            int spare = 1;
            /* The `count` lines right before this one are the middles. */
            for (k = 0; k < count; ++k) {
                middles[k] = before(r, count - k);
                spare = spare && middles[k]->spare;
            }
            if (count > 0 && (!spare || before(r, count + 1) != head)) {
                continue;
            }
            if (join(r, head, middles, count, text, first, &joined)) {
                head->open = 0;
                for (k = 0; k < count; ++k) {
                    middles[k]->spare = 0;
                }
                slot->spare = 0;
                r->h->line(r->h->data, r->joined, joined, number, 1);
                slot->open = first < length;
                return;
            }
        }
    }
    /* The beginning of a bundle line whose rest may follow, maybe only the
     * beginning of its prefix. */
    if (first == length) {
        slot->prefix = find_partial(text, length, &slot->partial);
        slot->spare = slot->prefix == length;
    }
    slot->open = slot->prefix < length;
}

int capture_read(const char *path, const capture_handlers *handlers)
{
    reader r;
    char line[RAW_MAX];
    size_t length = 0;
    unsigned long number = 0;
    int error;
    int c;
    size_t i;
    FILE *file = fopen(path, "rb");
    if (file == NULL) {
        return -1;
    }
    memset(&r, 0, sizeof r);
    r.h = handlers;
    /* Line by line, NUL bytes included, CRs left out wherever they stand
     * (the bundle's lines hold none); a longer line keeps its beginning. */
    while ((c = getc(file)) != EOF) {
        if (c == '\n') {
            on_line(&r, line, length, ++number);
            length = 0;
        } else if (c != '\r' && length < sizeof line) {
            line[length++] = (char)c;
        }
    }
    if (length > 0 && !ferror(file)) {
        on_line(&r, line, length, ++number);
    }
    error = capi_close_read(file);
    for (i = 0; i < RECENT; ++i) {
        if (r.lines[i].open && r.lines[i].partial == 0 && handlers->damaged != NULL) {
            handlers->damaged(handlers->data, r.lines[i].number);
        }
    }
    if (error != 0) {
        errno = error;
        return -1;
    }
    return 0;
}
