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
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char **environ;

namespace {

const char kEarlier[] = "earlier_function \t pass\n";

// A fresh folder under the build tree, removed with everything in it.
class Folder {
public:
    Folder() {
        mkdir(RESULT_SHEET_RUNS_DIR, 0755);
        std::string name = RESULT_SHEET_RUNS_DIR "/run.XXXXXX";
        if (mkdtemp(&name[0]) == nullptr) ADD_FAILURE() << "mkdtemp: " << strerror(errno);
        path_ = name;
    }
    ~Folder() {
        nftw(path_.c_str(), [](const char *p, const struct stat *, int, struct FTW *) { return remove(p); },
             16, FTW_DEPTH | FTW_PHYS);
    }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void write_file(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

// The whole file, or "<none>" when there is no such file.
std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in.good()) return "<none>";
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

int open_descriptors() {
    int count = 0;
    DIR *dir = opendir("/proc/self/fd");
    if (dir == nullptr) return -1;
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
    return count;
}

TEST(ResultSheet, RowsAreWrittenByteForByte) {
    const std::string longest(RESULT_SHEET_NAME_MAX, 'n');
    const struct {
        std::string name;
        int verdict;
        std::string row;
    } rows[] = {
        {"signal_capi_function", 1, "signal_capi_function \t pass\n"},
        {"wifi_capi_function", 0, "wifi_capi_function \t failed\n"},
        {"x", 2, "x \t failed\n"},
        {"x", -1, "x \t failed\n"},
        {" spaced name ", 1, " spaced name  \t pass\n"},
        {"r\xc3\xa9sum\xc3\xa9 \x80\xff", 1, "r\xc3\xa9sum\xc3\xa9 \x80\xff \t pass\n"},
        {longest, 0, longest + " \t failed\n"},
    };
    Folder dir;
    const std::string sheet = dir.file("capi.xls");
    write_file(sheet, kEarlier);
    std::string expected = kEarlier;
    for (const auto &row : rows) {
        EXPECT_EQ(0, result_sheet_append(sheet.c_str(), row.name.c_str(), row.verdict)) << row.name;
        expected += row.row;
    }
    EXPECT_EQ(expected, read_file(sheet));
}

TEST(ResultSheet, RefusedNameWritesNothing) {
    const std::string overlong(RESULT_SHEET_NAME_MAX + 1, 'n');
    // Exactly one byte more than a name may have and no terminator: the
    // writer stops reading at the limit (AddressSanitizer sees any further).
    const std::vector<char> unterminated(RESULT_SHEET_NAME_MAX + 1, 'u');
    const char *names[] = {nullptr, "",      "a\tb",  "a\nb",  "name\n",        "a\rb",
                           "\x1b[2J", "\x01", "a\x1f", "a\x7f", overlong.c_str(), unterminated.data()};
    Folder dir;
    const std::string sheet = dir.file("capi.xls");
    write_file(sheet, kEarlier);
    const std::string fresh = dir.file("fresh.xls");
    for (const char *name : names) {
        SCOPED_TRACE(name == nullptr ? "(null)" : std::string(name, strnlen(name, 20)));
        errno = 0;
        EXPECT_EQ(-1, result_sheet_append(sheet.c_str(), name, 1));
        EXPECT_EQ(EINVAL, errno);
        EXPECT_EQ(-1, result_sheet_append(fresh.c_str(), name, 0));
    }
    EXPECT_EQ(kEarlier, read_file(sheet));
    EXPECT_EQ("<none>", read_file(fresh)) << "a refused name created the sheet";
}

TEST(ResultSheet, SheetThatCannotBeTakenIsLeftAlone) {
    enum Kind { kFolder, kMissingFolder, kEmptyPath, kLinkToFile, kDanglingLink, kFifo, kFifoWithReader };
    const struct {
        const char *what;
        Kind kind;
        int error;
    } cases[] = {
        {"folder", kFolder, EISDIR},
        {"missing folder", kMissingFolder, ENOENT},
        {"empty path", kEmptyPath, ENOENT},
        {"link to a file", kLinkToFile, ELOOP},
        {"link to no file", kDanglingLink, ELOOP},
        {"FIFO without reader", kFifo, ENXIO},
        {"FIFO with a reader", kFifoWithReader, EINVAL},
    };
    const int descriptors = open_descriptors();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Folder dir;
        std::string sheet = dir.file("capi.xls");
        const std::string target = dir.file("target");
        int reader = -1;
        switch (c.kind) {
        case kFolder: ASSERT_EQ(0, mkdir(sheet.c_str(), 0755)); break;
        case kMissingFolder: sheet = dir.file("none/capi.xls"); break;
        case kEmptyPath: sheet = ""; break;
        case kLinkToFile: write_file(target, kEarlier); /* fall through */
        case kDanglingLink: ASSERT_EQ(0, symlink("target", sheet.c_str())); break;
        case kFifoWithReader:
        case kFifo:
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
    const std::string row = "signal_capi_function \t pass\n";
    const struct {
        size_t room;
        int result;
        int error;
    } cases[] = {{0, -1, EFBIG}, {1, -1, EIO}, {row.size() - 1, -1, EIO}, {row.size(), 0, 0}};
    struct rlimit saved;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
    const sighandler_t previous = signal(SIGXFSZ, SIG_IGN);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.room);
        Folder dir;
        const std::string sheet = dir.file("capi.xls");
        write_file(sheet, kEarlier);
        struct rlimit limit = saved;
        limit.rlim_cur = sizeof kEarlier - 1 + c.room;
        ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limit));
        errno = 0;
        const int result = result_sheet_append(sheet.c_str(), "signal_capi_function", 1);
        const int error = errno;
        ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &saved));

        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.error, error);
        EXPECT_EQ(kEarlier + (result == 0 ? row : ""), read_file(sheet));
    }
    signal(SIGXFSZ, previous);
}

// Mode 0644 as the process's umask allows, as for any file a program creates.
TEST(ResultSheet, NewSheetHasMode0644LessTheUmask) {
    const struct {
        mode_t umask;
        mode_t mode;
    } cases[] = {{022, 0644}, {0, 0644}, {077, 0600}, {0266, 0400}};
    for (const auto &c : cases) {
        Folder dir;
        const std::string sheet = dir.file("capi.xls");
        const mode_t previous = umask(c.umask);
        const int result = result_sheet_append(sheet.c_str(), "new_sheet", 1);
        umask(previous);
        EXPECT_EQ(0, result);
        struct stat status;
        ASSERT_EQ(0, stat(sheet.c_str(), &status));
        EXPECT_EQ(c.mode, status.st_mode & 07777) << std::oct << c.umask;
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
    flock(tmp_dir, LOCK_UN);
    close(tmp_dir);

    EXPECT_EQ(0, result);
    EXPECT_EQ((before == "<none>" ? "" : before) + "standard_sheet_check \t failed\n", after);
}

// Writers in several processes at once (started with posix_spawn, which also
// works under qemu): every line is one whole row and no row is lost.
TEST(ResultSheet, WritersInSeveralProcessesAppendWholeRows) {
    const int kWriters = 4;
    const int kRows = 500;
    Folder dir;
    const std::string sheet = dir.file("capi.xls");
    const std::string go = dir.file("go");
    std::vector<std::string> prefix;
    std::istringstream words(RESULT_SHEET_RUN_PREFIX);
    for (std::string word; words >> word;) prefix.push_back(word);

    std::vector<pid_t> writers;
    std::vector<std::string> expected;
    for (int w = 0; w < kWriters; ++w) {
        const std::string name = "writer" + std::to_string(w);
        std::vector<std::string> args = prefix;
        for (const std::string &arg : {std::string(RESULT_SHEET_WRITER), sheet, go, name,
                                       std::to_string(kRows)}) {
            args.push_back(arg);
        }
        std::vector<char *> argv;
        for (std::string &arg : args) argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        pid_t pid;
        ASSERT_EQ(0, posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ));
        writers.push_back(pid);
        for (int i = 0; i < kRows; ++i) {
            expected.push_back(name + "-" + std::to_string(i) + (i % 2 == 0 ? " \t pass" : " \t failed"));
        }
    }
    write_file(go, "");
    for (const pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(pid, waitpid(pid, &status, 0));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer status " << status;
    }

    const std::string bytes = read_file(sheet);
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
