// result_sheet_append: the rows it writes, what it refuses without writing a
// byte, a row the file system takes only in part, the mode of a new sheet, the
// standard sheet, and writers in several processes at once.
#include "result_sheet.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kEarlier = "earlier_function \t pass\n";
const std::string kRow = "signal_capi_function \t pass\n";

void write_file(const std::string &path, const std::string &bytes) {
    ASSERT_TRUE((std::ofstream(path, std::ios::binary) << bytes).good()) << path;
}

// The whole file, or "<none>" when there is no such file.
std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    if (!in.good()) return "<none>";
    bytes << in.rdbuf();
    return bytes.str();
}

// A fresh folder under the build tree holding the sheet "capi.xls" with one
// earlier row; removed with everything in it.
struct Folder {
    std::string path = RESULT_SHEET_RUNS_DIR "/run.XXXXXX";
    std::string sheet;
    Folder() {
        mkdir(RESULT_SHEET_RUNS_DIR, 0755);
        EXPECT_NE(nullptr, mkdtemp(&path[0])) << strerror(errno);
        sheet = file("capi.xls");
        write_file(sheet, kEarlier);
    }
    ~Folder() {
        nftw(path.c_str(), [](const char *p, const struct stat *, int, struct FTW *) { return remove(p); }, 16,
             FTW_DEPTH | FTW_PHYS);
    }
    std::string file(const char *name) const { return path + "/" + name; }
};

int open_descriptors() {
    int count = 0;
    DIR *dir = opendir("/proc/self/fd");
    while (dir != nullptr && readdir(dir) != nullptr) ++count;
    if (dir != nullptr) closedir(dir);
    return count;
}

// Every name is written whole after the earlier rows, or refused (-1, EINVAL)
// without a byte written and without creating a sheet.
TEST(ResultSheet, NameIsWrittenWholeOrRefused) {
    const std::string longest(RESULT_SHEET_NAME_MAX, 'n');
    const std::string overlong(RESULT_SHEET_NAME_MAX + 1, 'n');
    // One byte more than a name may have and no terminator: the writer stops
    // reading at the limit (AddressSanitizer sees any further).
    const std::vector<char> unterminated(RESULT_SHEET_NAME_MAX + 1, 'u');
    const struct {
        const char *name;
        int verdict;
        std::string row;  // empty: refused
    } cases[] = {
        {"signal_capi_function", 1, kRow},
        {"wifi_capi_function", 0, "wifi_capi_function \t failed\n"},
        {"x", 2, "x \t failed\n"},
        {"x", -1, "x \t failed\n"},
        {" spaced name ", 1, " spaced name  \t pass\n"},
        {"r\xc3\xa9sum\xc3\xa9 \x80\xff", 1, "r\xc3\xa9sum\xc3\xa9 \x80\xff \t pass\n"},
        {longest.c_str(), 0, longest + " \t failed\n"},
        {nullptr, 1, ""}, {"", 1, ""}, {"a\tb", 1, ""}, {"a\nb", 1, ""}, {"name\n", 1, ""}, {"a\rb", 1, ""},
        {"\x1b[2J", 1, ""}, {"\x01", 1, ""}, {"a\x1f", 1, ""}, {"a\x7f", 1, ""}, {overlong.c_str(), 1, ""},
        {unterminated.data(), 1, ""},
    };
    Folder dir;
    const std::string fresh = dir.file("fresh.xls");
    std::string expected = kEarlier;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name == nullptr ? "(null)" : std::string(c.name, strnlen(c.name, 20)));
        errno = 0;
        EXPECT_EQ(c.row.empty() ? -1 : 0, result_sheet_append(dir.sheet.c_str(), c.name, c.verdict));
        if (c.row.empty()) {
            EXPECT_EQ(EINVAL, errno);
            EXPECT_EQ(-1, result_sheet_append(fresh.c_str(), c.name, 0));
        }
        expected += c.row;
    }
    EXPECT_EQ(expected, read_file(dir.sheet));
    EXPECT_EQ("<none>", read_file(fresh)) << "a refused name created the sheet";
}

TEST(ResultSheet, SheetThatCannotBeTakenIsLeftAlone) {
    enum Kind { kFolder, kMissingFolder, kEmptyPath, kLinkToFile, kDanglingLink, kFifo, kFifoWithReader };
    const struct {
        const char *what;
        Kind kind;
        int error;
    } cases[] = {
        {"folder", kFolder, EISDIR},           {"missing folder", kMissingFolder, ENOENT},
        {"empty path", kEmptyPath, ENOENT},    {"link to a file", kLinkToFile, ELOOP},
        {"link to no file", kDanglingLink, ELOOP}, {"FIFO without reader", kFifo, ENXIO},
        {"FIFO with a reader", kFifoWithReader, EINVAL},
    };
    const int descriptors = open_descriptors();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Folder dir;
        std::string sheet = dir.file("new.xls");
        const std::string target = dir.file("target");
        int reader = -1;
        switch (c.kind) {
        case kFolder: ASSERT_EQ(0, mkdir(sheet.c_str(), 0755)); break;
        case kMissingFolder: sheet = dir.file("none/capi.xls"); break;
        case kEmptyPath: sheet = ""; break;
        case kLinkToFile: write_file(target, kEarlier); /* fall through */
        case kDanglingLink: ASSERT_EQ(0, symlink("target", sheet.c_str())); break;
        case kFifo:
        case kFifoWithReader:
            ASSERT_EQ(0, mkfifo(sheet.c_str(), 0644));
            if (c.kind == kFifoWithReader) reader = open(sheet.c_str(), O_RDONLY | O_NONBLOCK);
            break;
        }
        errno = 0;
        EXPECT_EQ(-1, result_sheet_append(sheet.c_str(), "signal_capi_function", 1));
        EXPECT_EQ(c.error, errno);
        EXPECT_EQ(c.kind == kLinkToFile ? kEarlier : "<none>", read_file(target));
        if (reader >= 0) {
            char byte;
            EXPECT_GE(0, read(reader, &byte, 1)) << "a row went into the FIFO";
            close(reader);
        }
    }
    EXPECT_EQ(descriptors, open_descriptors()) << "descriptors left open";
}

// A file-size limit a few bytes past the sheet's end makes the file system
// take only part of a row; at the end it takes nothing.
TEST(ResultSheet, RowTakenOnlyInPartIsTakenBack) {
    const struct {
        size_t room;
        int result, error;
    } cases[] = {{0, -1, EFBIG}, {1, -1, EIO}, {kRow.size() - 1, -1, EIO}, {kRow.size(), 0, 0}};
    struct rlimit saved;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
    const sighandler_t previous = signal(SIGXFSZ, SIG_IGN);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.room);
        Folder dir;
        struct rlimit limit = saved;
        limit.rlim_cur = kEarlier.size() + c.room;
        ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limit));
        errno = 0;
        const int result = result_sheet_append(dir.sheet.c_str(), "signal_capi_function", 1);
        const int error = errno;
        ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &saved));
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.error, error);
        EXPECT_EQ(kEarlier + (result == 0 ? kRow : ""), read_file(dir.sheet));
    }
    signal(SIGXFSZ, previous);
}

// Mode 0644 as the process's umask allows, as for any file a program creates.
TEST(ResultSheet, NewSheetHasMode0644LessTheUmask) {
    const mode_t cases[][2] = {{022, 0644}, {0, 0644}, {077, 0600}, {0266, 0400}};
    for (const auto &c : cases) {
        Folder dir;
        const std::string sheet = dir.file("new.xls");
        const mode_t previous = umask(c[0]);
        EXPECT_EQ(0, result_sheet_append(sheet.c_str(), "new_sheet", 1));
        umask(previous);
        struct stat status;
        ASSERT_EQ(0, stat(sheet.c_str(), &status));
        EXPECT_EQ(c[1], status.st_mode & 07777) << std::oct << c[0];
        EXPECT_EQ("new_sheet \t pass\n", read_file(sheet));
    }
}

// A null path is the sheet busprobe writes to. The test puts it back as it
// found it; busprobe's test of its standard paths takes turns with it.
TEST(ResultSheet, NullPathIsTheStandardSheet) {
    const char kStandard[] = "/tmp/capi.xls";
    if (strcmp(RESULT_SHEET_CONFIGURED_PATH, kStandard) != 0) {
        GTEST_SKIP() << "the kit is configured with the sheet " << RESULT_SHEET_CONFIGURED_PATH;
    }
    const int tmp_dir = open("/tmp", O_RDONLY | O_DIRECTORY);
    ASSERT_LE(0, tmp_dir);
    ASSERT_EQ(0, flock(tmp_dir, LOCK_EX));
    const std::string before = read_file(kStandard);
    const int result = result_sheet_append(nullptr, "standard_sheet_check", 0);
    const std::string after = read_file(kStandard);
    if (before == "<none>") {
        unlink(kStandard);
    } else if (after != "<none>") {
        EXPECT_EQ(0, truncate(kStandard, static_cast<off_t>(before.size())));
    }
    close(tmp_dir);  // and with it the lock
    EXPECT_EQ(0, result);
    EXPECT_EQ((before == "<none>" ? "" : before) + "standard_sheet_check \t failed\n", after);
}

// Writers in several processes at once, started by one shell (system works
// under qemu too) and beginning together when "go" appears: every line is one
// whole row and no row is lost.
TEST(ResultSheet, WritersInSeveralProcessesAppendWholeRows) {
    const int kRows = 500;
    Folder dir;
    std::string command = "cd '" + dir.path + "' || exit 2; pids=; ";
    std::vector<std::string> expected = {kEarlier.substr(0, kEarlier.size() - 1)};
    for (const std::string name : {"writer0", "writer1", "writer2", "writer3"}) {
        command += RESULT_SHEET_RUN_PREFIX " '" RESULT_SHEET_WRITER "' capi.xls go " + name + " " +
                   std::to_string(kRows) + " & pids=\"$pids $!\"; ";
        for (int i = 0; i < kRows; ++i) {
            expected.push_back(name + "-" + std::to_string(i) + (i % 2 == 0 ? " \t pass" : " \t failed"));
        }
    }
    command += "touch go && for pid in $pids; do wait $pid || exit 1; done";
    EXPECT_EQ(0, system(command.c_str())) << "a writer failed";
    const std::string bytes = read_file(dir.sheet);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ('\n', bytes.back());
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, lines);
}

}  // namespace
