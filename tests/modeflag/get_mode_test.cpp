#include "modeflag.h"

#include <gtest/gtest.h>

TEST(ModeflagGetMode, NoTextOrNoFlagIsZero) {
    EXPECT_EQ(0, Get_mode(nullptr));
    EXPECT_EQ(0, Get_mode(""));
    EXPECT_EQ(0, Get_mode("run all"));
    EXPECT_EQ(0, Get_mode("-"));
    EXPECT_EQ(0, Get_mode("M S E"));
}

TEST(ModeflagGetMode, EachFlagAlone) {
    EXPECT_EQ(1, Get_mode("-M"));
    EXPECT_EQ(2, Get_mode("-S"));
    EXPECT_EQ(3, Get_mode("-E"));
}

TEST(ModeflagGetMode, HighestFlagWinsWhateverTheOrder) {
    EXPECT_EQ(2, Get_mode("-S -M"));
    EXPECT_EQ(2, Get_mode("-M -S"));
    EXPECT_EQ(3, Get_mode("-M -S -E"));
    EXPECT_EQ(3, Get_mode("-E -M"));
    EXPECT_EQ(3, Get_mode("-E -S"));
    EXPECT_EQ(3, Get_mode("-E-S-M"));
}

TEST(ModeflagGetMode, FlagIsAPlainCaseSensitiveSubstring) {
    EXPECT_EQ(1, Get_mode("--Mode"));
    EXPECT_EQ(0, Get_mode("-m"));
    EXPECT_EQ(0, Get_mode("-s -e"));
    EXPECT_EQ(2, Get_mode("x-Sy"));
    EXPECT_EQ(3, Get_mode("test-Extra"));
    EXPECT_EQ(1, Get_mode("name-M"));
}

TEST(ModeflagGetMode, ReadsNoFurtherThanTheTerminator) {
    // A flag split by the terminator is not a flag.
    const char text[] = {'x', '-', '\0', 'E', '\0'};
    EXPECT_EQ(0, Get_mode(text));
}
