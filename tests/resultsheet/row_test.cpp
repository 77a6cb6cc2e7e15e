// result_sheet_read_row: every row result_sheet_append writes reads back as
// its name and verdict; lines that are no row get their reason; only the
// given bytes are read.
#include "result_sheet.h"
#include "result_sheet_row.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// The line read from an exactly sized heap block: AddressSanitizer sees a
// read past it. The reason, or "name|verdict" for a row.
std::string read_row(const std::string &line) {
    std::vector<char> bytes(line.begin(), line.end());
    char *block = static_cast<char *>(malloc(bytes.size() + 1));
    if (!bytes.empty()) memcpy(block, bytes.data(), bytes.size());
    size_t name_length = 0;
    int verdict = -1;
    const char *reason = result_sheet_read_row(block, bytes.size(), &name_length, &verdict);
    const std::string read = reason ? reason : std::string(block, name_length) + "|" + std::to_string(verdict);
    free(block);
    return read;
}

TEST(ResultSheetRow, WhatTheWriterWritesReadsBack) {
    const std::string longest(RESULT_SHEET_NAME_MAX, 'n');
    const struct {
        std::string name;
        int verdict;
    } cases[] = {
        {"signal_capi_function", 1}, {"wifi", 0}, {"x", 2}, {"x", -1}, {" spaced  name ", 1},
        {"tab\\t \\x01 shown", 0}, {"r\xc3\xa9sum\xc3\xa9 \x80\xff", 1}, {longest, 0},
    };
    char path[] = RESULT_SHEET_RUNS_DIR "/row.XXXXXX";
    mkdir(RESULT_SHEET_RUNS_DIR, 0755);
    const int fd = mkstemp(path);
    ASSERT_LE(0, fd);
    close(fd);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0, truncate(path, 0));
        ASSERT_EQ(0, result_sheet_append(path, c.name.c_str(), c.verdict));
        gchar *sheet = nullptr;
        gsize length = 0;
        ASSERT_TRUE(g_file_get_contents(path, &sheet, &length, nullptr));
        ASSERT_TRUE(length > 0 && sheet[length - 1] == '\n');
        EXPECT_EQ(c.name + "|" + (c.verdict == 1 ? "1" : "0"), read_row(std::string(sheet, length - 1)));
        g_free(sheet);
    }
    unlink(path);
}

TEST(ResultSheetRow, LinesThatAreNoRowGetTheirReason) {
    const std::string separator = "no \" \\t \" between name and outcome";
    const std::string outcome = "outcome is neither \"pass\" nor \"failed\"";
    const struct {
        std::string line, read;
    } cases[] = {
        {"a \t pass", "a|1"},
        {"a \t failed", "a|0"},
        {"a \t b \t pass", outcome},
        {"a b\t \t pass", separator},
        {"", "empty line"},
        {"\t", separator},
        {" \t", separator},
        {"a\t pass", separator},
        {"a \tpass", separator},
        {"a \t ", outcome},
        {" \t pass", "empty name"},
        {std::string("a\0b \t pass", 10), "control byte in name"},
        {"a\x7f \t pass", "control byte in name"},
        {"a\r \t pass", "control byte in name"},
        {"a \t pass\r", outcome},
        {"a \t Pass", outcome},
        {"a \t pass ", outcome},
        {"a \t passed", outcome},
        {"a \t fail", outcome},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(c.read, read_row(c.line));
    }
}

}  // namespace
