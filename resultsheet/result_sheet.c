/* Appends one whole row to a result sheet, in a single write. */
#define _POSIX_C_SOURCE 200809L

#include "result_sheet.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#ifndef RESULT_SHEET_DEFAULT_PATH
#error "the build defines RESULT_SHEET_DEFAULT_PATH"
#endif

#define SEPARATOR RESULT_SHEET_SEPARATOR
#define PASS RESULT_SHEET_PASS "\n"
#define FAILED RESULT_SHEET_FAILED "\n"

/* Room for the longest row: name, separator, the longer outcome. */
#define ROW_MAX (RESULT_SHEET_NAME_MAX + sizeof SEPARATOR - 1 + sizeof FAILED - 1)

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
        if (length == RESULT_SHEET_NAME_MAX || byte < 0x20 || byte == 0x7f) {
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
