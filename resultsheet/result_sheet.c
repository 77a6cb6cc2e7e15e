/*
 * The result sheet's row: appended whole to a sheet in a single write, and
 * read back from a line of a sheet.
 */
#define _POSIX_C_SOURCE 200809L

#include "result_sheet.h"
#include "result_sheet_row.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#ifndef RESULT_SHEET_DEFAULT_PATH
#error "the build defines RESULT_SHEET_DEFAULT_PATH"
#endif

/* The row: name, separator, outcome word, newline. */
#define SEPARATOR " \t "
#define PASS_WORD "pass"
#define FAILED_WORD "failed"
#define PASS PASS_WORD "\n"
#define FAILED FAILED_WORD "\n"

/* Room for the longest row: name, separator, the longer outcome. */
#define ROW_MAX (RESULT_SHEET_NAME_MAX + sizeof SEPARATOR - 1 + sizeof FAILED - 1)

/* A byte no name may hold: it could end the row or forge another. */
static int control_byte(unsigned char byte)
{
    return byte < 0x20 || byte == 0x7f;
}

/* Whether the `length` bytes read exactly as the word. */
static int is_word(const char *bytes, size_t length, const char *word, size_t word_length)
{
    return length == word_length && memcmp(bytes, word, length) == 0;
}

/*
 * Puts the row into `row` (ROW_MAX bytes) and returns its length, or 0 when
 * the name is refused. Reads no more than RESULT_SHEET_NAME_MAX + 1 bytes of
 * the name, so an overlong or unterminated name is never read to its end.
 */
static size_t make_row(char *row, const char *name, int verdict)
{
    size_t length = 0;
    const char *outcome = verdict == 1 ? PASS : FAILED;
    const size_t outcome_length = verdict == 1 ? sizeof PASS - 1 : sizeof FAILED - 1;

    if (name == NULL) {
        return 0;
    }
    for (; name[length] != '\0'; ++length) {
        const unsigned char byte = (unsigned char)name[length];
        if (length == RESULT_SHEET_NAME_MAX || control_byte(byte)) {
            return 0;
        }
        row[length] = (char)byte;
    }
    if (length == 0) {
        return 0;
    }
    memcpy(row + length, SEPARATOR, sizeof SEPARATOR - 1);
    length += sizeof SEPARATOR - 1;
    memcpy(row + length, outcome, outcome_length);
    return length + outcome_length;
}

/*
 * The write put only `part` bytes of the row at the end of the sheet: cuts
 * them off again while they are still the sheet's last bytes. With O_APPEND
 * the descriptor's offset is the end of what this write added.
 */
static void take_back(int fd, size_t part)
{
    struct stat status;
    const off_t end = lseek(fd, 0, SEEK_CUR);
    if (part == 0 || end < (off_t)part || fstat(fd, &status) != 0 || status.st_size != end) {
        return;
    }
    (void)ftruncate(fd, end - (off_t)part);
}

/* Closes the descriptor and returns -1 with the given error in errno. */
static int give_up(int fd, int error)
{
    close(fd);
    errno = error;
    return -1;
}

int result_sheet_append(const char *path, const char *name, int verdict)
{
    char row[ROW_MAX];
    const size_t length = make_row(row, name, verdict);
    struct stat status;
    ssize_t written;
    int fd;

    if (length == 0) {
        errno = EINVAL;
        return -1;
    }
    if (path == NULL) {
        path = RESULT_SHEET_DEFAULT_PATH;
    }

    /* O_NONBLOCK: a FIFO put in the sheet's place fails the open at once
     * instead of blocking until some reader opens it; it changes nothing for
     * a regular file. */
    do {
        fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK,
                  0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return -1;
    }
    /* Whole, unmixed rows are a property of regular files only. */
    if (fstat(fd, &status) != 0) {
        return give_up(fd, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return give_up(fd, EINVAL);
    }

    /* A write that a signal interrupts before it wrote anything returns -1
     * with EINTR; one that wrote part of the row returns the part. */
    do {
        written = write(fd, row, length);
    } while (written < 0 && errno == EINTR);
    if (written < 0) {
        return give_up(fd, errno);
    }
    if ((size_t)written != length) {
        take_back(fd, (size_t)written);
        return give_up(fd, EIO);
    }
    /* The row is in the file: an error that close reports changes nothing. */
    close(fd);
    return 0;
}

const char *result_sheet_read_row(const char *line, size_t length, size_t *name_length, int *verdict)
{
    const char *tab;
    const char *outcome;
    size_t at;
    size_t outcome_length;
    size_t i;

    if (length == 0) {
        return "empty line";
    }
    tab = memchr(line, '\t', length);
    at = tab != NULL ? (size_t)(tab - line) : length;
    /* The separator is the tab and the bytes on either side. */
    if (tab == NULL || at < 1 || at + 1 >= length || memcmp(line + at - 1, SEPARATOR, sizeof SEPARATOR - 1) != 0) {
        return "no \" \\t \" between name and outcome";
    }
    *name_length = at - 1;
    if (*name_length == 0) {
        return "empty name";
    }
    for (i = 0; i < *name_length; ++i) {
        if (control_byte((unsigned char)line[i])) {
            return "control byte in name";
        }
    }
    outcome = line + at + 2;
    outcome_length = length - at - 2;
    if (is_word(outcome, outcome_length, PASS_WORD, sizeof PASS_WORD - 1)) {
        *verdict = 1;
    } else if (is_word(outcome, outcome_length, FAILED_WORD, sizeof FAILED_WORD - 1)) {
        *verdict = 0;
    } else {
        return "outcome is neither \"pass\" nor \"failed\"";
    }
    return NULL;
}

size_t result_sheet_line_length(const char *line, size_t length)
{
    if (length > 0 && line[length - 1] == '\n') {
        --length;
    }
    if (length > 0 && line[length - 1] == '\r') {
        --length;
    }
    return length;
}
