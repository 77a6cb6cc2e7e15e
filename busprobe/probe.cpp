// Marker search through the shell's grep, size probe and sheet append.
#include "probe.h"

#include "result_sheet.h"

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#if !defined(BUSPROBE_LOG_PATH) || !defined(BUSPROBE_SHEET_PATH) || !defined(BUSPROBE_TEMP_TEMPLATE)
#error "the build defines BUSPROBE_LOG_PATH, BUSPROBE_SHEET_PATH and BUSPROBE_TEMP_TEMPLATE"
#endif

// The build admits only path characters that need no quoting in the shell and
// no escaping in a format, so the log path goes into the format as it is.
// The log is text with occasional garbage: -a searches it as text whatever it
// holds (a NUL byte, bytes that are not valid in the locale's encoding), where
// grep would otherwise only say on its error stream that a binary file
// matches. -e and -- keep a marker or path that begins with "-" from being
// read as an option. BusyBox's grep accepts all of them.
#define BUSPROBE_COMMAND_FORMAT "grep -a -F -e \"%s\" -- " BUSPROBE_LOG_PATH " > %s"

namespace {

constexpr char kSheetPath[] = BUSPROBE_SHEET_PATH;
constexpr char kTempTemplate[] = BUSPROBE_TEMP_TEMPLATE;

// Longest marker the command holds. With the standard paths the command
// buffer comes to 137 bytes.
constexpr size_t kMarkerRoom = 74;
constexpr size_t kCommandSize = (sizeof BUSPROBE_COMMAND_FORMAT - 1) - 4 +
                                (sizeof kTempTemplate - 1) + kMarkerRoom + 1;

// A marker stands between double quotes on the shell's command line, where
// the shell still reads $, `, \ and ".
bool searchable(const char *marker) {
    return strlen(marker) <= kMarkerRoom && strpbrk(marker, "\"$`\\") == nullptr;
}

int absent(const char *marker) {
    printf("log \"%s\" not exist\n", marker);
    return -1;
}

}  // namespace

int check_log_exist(const char *marker) {
    if (!searchable(marker)) {
        fprintf(stderr, "busprobe: marker cannot be searched: %s\n", marker);
        return absent(marker);
    }

    // The search writes into the file created here. It stays in place until
    // its size is taken, so nobody can put a link under its name in between.
    char name[sizeof kTempTemplate];
    memcpy(name, kTempTemplate, sizeof name);
    const int fd = mkstemp(name);
    if (fd < 0) {
        fprintf(stderr, "busprobe: cannot create %s: %s\n", kTempTemplate, strerror(errno));
        return absent(marker);
    }
    close(fd);

    char command[kCommandSize];
    const int length = snprintf(command, sizeof command, BUSPROBE_COMMAND_FORMAT, marker, name);
    if (length < 0 || static_cast<size_t>(length) >= sizeof command) {
        unlink(name);
        return absent(marker);
    }
    printf("check_log_exist %s\n", command);
    printf("check_log_exist tmpfile %s\n", name);
    // Keeps this program's lines ahead of anything the shell or grep prints
    // when both go to the same file.
    fflush(stdout);

    // The exit status is not examined: the size of the matching lines decides.
    const int status = system(command);
    (void)status;
    const long size = check_file_size(name);
    unlink(name);
    if (size > 0) {
        printf("log \"%s\" exist\n", marker);
        return 0;
    }
    return absent(marker);
}

long check_file_size(const char *path) {
    struct stat status;
    if (stat(path, &status) != 0) {
        return -1;
    }
    const long long bytes = status.st_size;
    const long size = bytes > LONG_MAX ? LONG_MAX : static_cast<long>(bytes);
    printf("check_file_size %ld \n", size);
    return size;
}

int xls_write(const char *name, const char *outcome) {
    // The kit's row writer: one whole row in one write, never through a link.
    const int verdict = (outcome != nullptr && strcmp(outcome, "pass") == 0) ? 1 : 0;
    if (result_sheet_append(kSheetPath, name, verdict) != 0) {
        puts("fopen error!");
        return -1;
    }
    return 0;
}
