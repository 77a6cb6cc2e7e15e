// The program as built for the gateway: it searches "/opt/apps/tolva.log"
// through temporary files "/tmp/tmp_file.XXXXXX" and appends its row to
// "/tmp/capi.xls". The test runs it against a machine without that log, keeps
// the sheet as it found it, and leaves nothing behind in /tmp.
#include "support.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

const char kLogPath[] = "/opt/apps/tolva.log";
const char kSheetPath[] = "/tmp/capi.xls";
const char kTemplate[] = "/tmp/tmp_file.XXXXXX";

std::vector<std::string> temp_files() {
    std::vector<std::string> names;
    DIR *dir = opendir("/tmp");
    if (dir == nullptr) {
        ADD_FAILURE() << "cannot list /tmp";
        return names;
    }
    errno = 0;
    while (const struct dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, 9, "tmp_file.") == 0) names.push_back(name);
    }
    if (errno != 0) ADD_FAILURE() << "readdir /tmp: " << strerror(errno);
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool read_file(const char *path, std::string *bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in.good()) return false;
    std::ostringstream all;
    all << in.rdbuf();
    *bytes = all.str();
    return true;
}

TEST(BusprobeDefaultPaths, RunAppendsToTheSheetAndLeavesNoTemporaryFile) {
#ifndef BUSPROBE_STANDARD_PATHS
    GTEST_SKIP() << "busprobe is configured with other paths";
#endif
    struct stat status;
    if (stat(kLogPath, &status) == 0) {
        GTEST_SKIP() << kLogPath << " exists on this machine; its outcome is not known";
    }
    // The host and the ARM build may run this test at the same time: both
    // touch the one sheet, so they take turns.
    const int tmp_dir = open("/tmp", O_RDONLY | O_DIRECTORY);
    ASSERT_LE(0, tmp_dir);
    ASSERT_EQ(0, flock(tmp_dir, LOCK_EX));

    std::string sheet_before;
    const bool sheet_existed = read_file(kSheetPath, &sheet_before);
    const std::vector<std::string> temp_before = temp_files();

    RunDir cwd;
    const RunResult run = run_program(BUSPROBE_DEFAULT_PROGRAM, cwd.path());

    std::string sheet_after;
    const bool sheet_exists = read_file(kSheetPath, &sheet_after);
    const std::vector<std::string> temp_after = temp_files();
    // Puts the sheet back as it was.
    if (!sheet_existed) {
        unlink(kSheetPath);
    } else if (sheet_exists) {
        EXPECT_EQ(0, truncate(kSheetPath, static_cast<off_t>(sheet_before.size())));
    }
    flock(tmp_dir, LOCK_UN);
    close(tmp_dir);

    EXPECT_EQ(0, run.exit_status);
    std::vector<std::string> names;
    EXPECT_EQ(searched_block("TolvaDBusSetProperty", kLogPath, kTemplate, 0) + "failed!!!!!\n",
              mask_temp_names(run.output, kTemplate, &names));
    EXPECT_TRUE(names_in_pairs(names));
    ASSERT_TRUE(sheet_exists);
    EXPECT_EQ(sheet_before + "signal_capi_function \t failed\n", sheet_after);
    for (const std::string &name : temp_after) {
        if (!std::binary_search(temp_before.begin(), temp_before.end(), name)) {
            ADD_FAILURE() << "/tmp/" << name << " left behind";
            unlink(("/tmp/" + name).c_str());
        }
    }
    // Nothing is written relative to the working folder.
    EXPECT_EQ(std::vector<std::string>{"tmp"}, cwd.list());
}

}  // namespace
