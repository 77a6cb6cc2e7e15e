/* The results folder (see folder.h). */
#define _POSIX_C_SOURCE 200809L

#include "folder.h"

#include "text.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

int capi_folder_make(capi_folder *folder, const char *wanted, char *error, size_t size)
{
    int try;
    memset(folder, 0, sizeof *folder);
    folder->fd = -1;
    for (try = 0; try <= CAPI_FOLDER_TRIES; ++try) {
        const int n = try == 0 ? snprintf(folder->path, sizeof folder->path, "%s", wanted)
                               : snprintf(folder->path, sizeof folder->path, "%s.%d", wanted, try);
        if (n < 0 || (size_t)n >= sizeof folder->path) {
            snprintf(error, size, "results folder name too long: %s", wanted);
            return -1;
        }
        if (mkdir(folder->path, 0755) == 0) {
            folder->fd = open(folder->path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (folder->fd < 0) {
                snprintf(error, size, "%s: %s", folder->path, strerror(errno));
                return -1;
            }
            return 0;
        }
        if (errno != EEXIST) {
            snprintf(error, size, "cannot make the results folder %s: %s", folder->path, strerror(errno));
            return -1;
        }
    }
    snprintf(error, size, "%s and %s.1 to %s.%d all exist: remove some", wanted, wanted, wanted, CAPI_FOLDER_TRIES);
    return -1;
}

int capi_folder_open(capi_folder *folder, const char *path, char *error, size_t size)
{
    memset(folder, 0, sizeof *folder);
    snprintf(folder->path, sizeof folder->path, "%s", path);
    folder->fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder->fd < 0) {
        snprintf(error, size, "the results folder %s of the session: %s", path, strerror(errno));
        return -1;
    }
    return 0;
}

int capi_folder_file(capi_folder *folder, const char *name, char *error, size_t size)
{
    const int fd = openat(folder->fd, name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0 && error != NULL) {
        snprintf(error, size, "%s", strerror(errno));
    }
    return fd;
}

void capi_folder_stem(const capi_folder *folder, const char *name, const char *reserved, char *stem)
{
    const size_t size = CAPI_FOLDER_STEM_MAX + 16;
    int n;
    for (n = 1;; ++n) {
        char out[CAPI_FOLDER_STEM_MAX + 32];
        struct stat status;
        if (n == 1) {
            snprintf(stem, size, "%.*s", CAPI_FOLDER_STEM_MAX, name);
        } else {
            snprintf(stem, size, "%.*s-%d", CAPI_FOLDER_STEM_MAX, name, n);
        }
        snprintf(out, sizeof out, "%s.out", stem);
        if (fstatat(folder->fd, out, &status, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT &&
            (reserved == NULL || strcmp(stem, reserved) != 0)) {
            return;
        }
    }
}

void capi_folder_test_files(capi_folder *folder, const char *reserved, capi_session_test *test, int fds[2],
                            char *stem)
{
    capi_stream *streams[2];
    int i;
    streams[0] = &test->out;
    streams[1] = &test->err;
    capi_folder_stem(folder, test->name, reserved, stem);
    for (i = 0; i < 2; ++i) {
        snprintf(streams[i]->file, sizeof streams[i]->file, "%.250s%s", stem, i == 0 ? ".out" : ".err");
        fds[i] = capi_folder_file(folder, streams[i]->file, streams[i]->error, sizeof streams[i]->error);
        if (fds[i] < 0) {
            streams[i]->file[0] = '\0';
        }
    }
}

void capi_folder_test_files_again(capi_folder *folder, const char *stem, capi_session_test *test, int fds[2])
{
    capi_stream *streams[2];
    int i;
    streams[0] = &test->out;
    streams[1] = &test->err;
    for (i = 0; i < 2; ++i) {
        struct stat status;
        snprintf(streams[i]->file, sizeof streams[i]->file, "%.250s%s", stem, i == 0 ? ".out" : ".err");
        fds[i] = openat(folder->fd, streams[i]->file, O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        if (fds[i] < 0) {
            fds[i] = capi_folder_file(folder, streams[i]->file, streams[i]->error, sizeof streams[i]->error);
        } else if (fstat(fds[i], &status) == 0) {
            streams[i]->bytes = (unsigned long long)status.st_size;
        }
        if (fds[i] < 0) {
            streams[i]->file[0] = '\0';
        }
    }
}

void capi_folder_close(capi_folder *folder)
{
    if (folder->fd >= 0) {
        close(folder->fd);
    }
    folder->fd = -1;
}

int capi_kept_open(capi_folder *folder, const char *name, off_t room, capi_kept_file *file)
{
    file->length = 0;
    file->fd = capi_folder_file(folder, name, NULL, 0);
    if (file->fd < 0) {
        return -1;
    }
    (void)posix_fallocate(file->fd, 0, room);
    return 0;
}

int capi_kept_reopen(capi_folder *folder, const char *name, off_t length, capi_kept_file *file)
{
    file->length = length;
    file->fd = openat(folder->fd, name, O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (file->fd < 0) {
        return -1;
    }
    if (ftruncate(file->fd, length) != 0) {
        const int error = errno;
        close(file->fd);
        file->fd = -1;
        errno = error;
        return -1;
    }
    return 0;
}

int capi_kept_write(capi_kept_file *file, const void *data, size_t length)
{
    return capi_write_all(file->fd, data, length, &file->length);
}

int capi_kept_close(capi_kept_file *file)
{
    const int cut = ftruncate(file->fd, file->length);
    const int error = errno;
    const int closed = close(file->fd);
    file->fd = -1;
    if (cut != 0) {
        errno = error;
        return -1;
    }
    return closed;
}
