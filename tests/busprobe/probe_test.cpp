// The probe steps called directly, built with the same relative paths as the
// copy of the program; each test works in a fresh folder.
#include "probe.h"
#include "support.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <errno.h>
#include <limits.h>
#include <unistd.h>

namespace {

const char kTemplate[] = "tmp/tmp_file.XXXXXX";

int open_descriptors() {
    int count = 0;
    DIR *dir = opendir("/proc/self/fd");
    if (dir == nullptr) return -1;
    errno = 0;
    while (readdir(dir) != nullptr) ++count;
    if (errno != 0) count = -1;
    closedir(dir);
    return count;
}

class BusprobeProbe : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, getcwd(previous_, sizeof previous_));
        ASSERT_EQ(0, chdir(dir_.path().c_str()));
    }
    void TearDown() override { EXPECT_EQ(0, chdir(previous_)); }

    RunDir dir_;
    char previous_[PATH_MAX];
};

TEST_F(BusprobeProbe, LongestMarkerThatFitsIsSearched) {
    const std::string marker(74, 'm');
    dir_.write_log({"[10:00:00] " + marker + " done"});
    int result = 1;
    int descriptors = 0;
    const std::string output = capture_stdout([&] {
        descriptors = open_descriptors();
        result = check_log_exist(marker.c_str());
        descriptors = open_descriptors() - descriptors;
    });

    EXPECT_EQ(0, result);
    EXPECT_EQ(0, descriptors) << "descriptors left open";
    std::vector<std::string> names;
    EXPECT_EQ(searched_block(marker, "tolva.log", kTemplate, 11 + 74 + 5 + 1),
              mask_temp_names(output, kTemplate, &names));
    EXPECT_TRUE(names_in_pairs(names));
    EXPECT_EQ(std::vector<std::string>{}, dir_.list("tmp"));
}

TEST_F(BusprobeProbe, MarkerThatLooksLikeAnOptionIsSearchedAsText) {
    for (const std::string marker : {"-v", "--count", "-x marker", "--", "-e"}) {
        const std::string line = "[10:00:00] " + marker + " done";
        dir_.write_log({"[09:59:59] no marker here", line});
        int result = 1;
        const std::string output =
            capture_stdout([&] { result = check_log_exist(marker.c_str()); });

        EXPECT_EQ(0, result) << marker;
        std::vector<std::string> names;
        EXPECT_EQ(searched_block(marker, "tolva.log", kTemplate, static_cast<long>(line.size()) + 1),
                  mask_temp_names(output, kTemplate, &names));
    }
}

TEST_F(BusprobeProbe, MarkerTooLongForTheCommandIsAbsent) {
    for (size_t length : {75u, 76u, 300u}) {
        const std::string marker(length, 'm');
        dir_.write_log({marker});
        int result = 0;
        const std::string output =
            capture_stdout([&] { result = check_log_exist(marker.c_str()); });

        EXPECT_EQ(-1, result) << length;
        EXPECT_EQ("log \"" + marker + "\" not exist\n", output);
        EXPECT_EQ(std::vector<std::string>{}, dir_.list("tmp"));
    }
}

TEST_F(BusprobeProbe, MarkerTheShellWouldReadIsAbsent) {
    for (const std::string marker :
         {"a\" ; touch injected ; \"b", "$(touch injected)", "`touch injected`", "x\\y"}) {
        dir_.write_log({marker});
        int result = 0;
        const std::string output =
            capture_stdout([&] { result = check_log_exist(marker.c_str()); });

        EXPECT_EQ(-1, result) << marker;
        EXPECT_EQ("log \"" + marker + "\" not exist\n", output);
        EXPECT_FALSE(dir_.exists("injected")) << marker;
    }
}

TEST_F(BusprobeProbe, SizeProbe) {
    int size = 0;
    std::string output = capture_stdout([&] { size = check_file_size("missing"); });
    EXPECT_EQ(-1, size);
    EXPECT_EQ("", output);

    dir_.write("five", "12345");
    output = capture_stdout([&] { size = check_file_size("five"); });
    EXPECT_EQ(5, size);
    EXPECT_EQ("check_file_size 5 \n", output);

    dir_.write("empty", "");
    output = capture_stdout([&] { size = check_file_size("empty"); });
    EXPECT_EQ(0, size);
    EXPECT_EQ("check_file_size 0 \n", output);
}

}  // namespace
