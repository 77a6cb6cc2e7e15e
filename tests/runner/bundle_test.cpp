// The console bundle: capi-run --console, and the folder recovered from the
// capture however the console mangled it; each damage named where it is.
#include "bundle.h"
#include "support.h"
#include "text.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

Lines split(const std::string &text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string join(const Lines &lines) {
    std::string text;
    for (const auto &line : lines) text += line + "\n";
    return text;
}

// A bundle line with its checksum, as the encoder makes it.
std::string line_with_crc(const std::string &text) {
    char crc[16];
    snprintf(crc, sizeof crc, " %08lx", static_cast<unsigned long>(capi_crc32(0, text.data(), text.size())));
    return text + crc;
}

struct Unpacked {
    int rc;
    std::vector<std::string> problems;
};

Unpacked unpack(const RunDir &dir, const std::string &capture, const std::string &into) {
    dir.write("capture.txt", capture);
    Unpacked result{0, {}};
    result.rc = capi_bundle_unpack(
        dir.file("capture.txt").c_str(), dir.file(into).c_str(),
        [](const char *message, void *data) { static_cast<Unpacked *>(data)->problems.push_back(message); },
        &result);
    return result;
}

// The session every case starts from: three tests and their bundle.
class Bundle : public ::testing::Test {
protected:
    void SetUp() override {
        add_fault(dir_, "t", "pass", "pass");
        add_fault(dir_, "t", "binary", "binary");
        add_fault(dir_, "t", "rows", "rows");
        run_ = run_capi({"--results", "res", "--no-busprobe", "--sheet", "capi.xls", "--console", "t/pass",
                         "t/binary", "t/rows"},
                        dir_.path(), {{"CAPI_FAULT_SHEET", "capi.xls"}});
        lines_ = split(run_.out);
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (lines_[i].rfind("@capi ", 0) == 0 && lines_[i].find(" F 4 512 binary.out ") != std::string::npos) {
                binary_ = i;
            }
        }
    }
    // The bundle line's sequence number.
    std::string seq(size_t index) const { return split_words(lines_[index])[1]; }
    static Lines split_words(const std::string &line) {
        Lines words;
        std::istringstream in(line);
        for (std::string w; in >> w;) words.push_back(w);
        return words;
    }
    const std::vector<std::string> files_ = {"capi-run.tap", "capi.xls", "pass.out", "pass.err",
                                             "binary.out", "binary.err", "rows.out", "rows.err"};
    RunDir dir_;
    CapiRunResult run_;
    Lines lines_;
    size_t binary_ = 0;  // the file line of binary.out
};

TEST_F(Bundle, ConsoleOutputIsTheSummaryThenTheFolder) {
    EXPECT_EQ(run_.status, 1);
    ASSERT_GT(binary_, 0u);
    // Every bundle line is printable ASCII and starts with the prefix; the
    // TAP lines come first, as printed into the folder.
    const std::string tap = dir_.read("res/capi-run.tap");
    EXPECT_EQ(run_.out.substr(0, tap.size()), tap);
    for (const auto &line : split(run_.out.substr(tap.size()))) {
        EXPECT_EQ(line.rfind("@capi ", 0), 0u) << line;
        for (unsigned char c : line) EXPECT_TRUE(c >= 0x20 && c < 0x7f) << line;
        EXPECT_LE(line.size(), 100u) << line;
    }
    EXPECT_EQ(lines_[split(tap).size()], line_with_crc("@capi 0 B 1 8"));
    EXPECT_EQ(lines_[binary_], line_with_crc("@capi " + seq(binary_) + " F 4 512 binary.out"));
    EXPECT_EQ(lines_[binary_ + 1], line_with_crc("@capi " + seq(binary_ + 1) + " D 4 0 AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKissLS4v"));
    EXPECT_EQ(lines_.back(), line_with_crc("@capi " + seq(lines_.size() - 1) + " E 8 " +
                                           std::to_string(tap.size() + dir_.read("res/capi.xls").size() + 15 + 512 + 17)));
}

struct Damage {
    const char *what;
    // Changes the capture's lines; gives the expected problems, given a
    // function that finds the (1-based) line of an original line afterwards.
    std::function<Lines(Lines &, size_t binary, const std::function<std::string(const std::string &)> &seq)> apply;
    std::vector<std::string> lost;  // files not recovered
};

TEST_F(Bundle, DamageIsNamedAndTheRestRecovered) {
    ASSERT_GT(binary_, 0u);
    const std::string bad = "binary.out";
    const Damage cases[] = {
        {"as printed", [](Lines &, size_t, auto &) { return Lines{}; }, {}},
        {"a CR before each newline, two before some",
         [](Lines &l, size_t, auto &) {
             for (size_t i = 0; i < l.size(); ++i) l[i] += i % 3 == 0 ? "\r\r" : "\r";
             return Lines{};
         },
         {}},
        {"kernel lines between the lines",
         [](Lines &l, size_t, auto &) {
             Lines out;
             for (size_t i = 0; i < l.size(); ++i) {
                 out.push_back(l[i]);
                 if (i % 4 == 0) out.push_back("[    3.141592] random: crng init done");
             }
             l = out;
             return Lines{};
         },
         {}},
        {"kernel text before a line's prefix",
         [](Lines &l, size_t b, auto &) {
             l[b + 1] = "[    2.718281] usb 1-1: new device" + l[b + 1];
             return Lines{};
         },
         {}},
        {"a kernel line in the middle of a data line",
         [](Lines &l, size_t b, auto &seq) {
             const std::string whole = l[b + 2];
             const std::string s = seq(whole);
             l[b + 2] = whole.substr(0, 30) + "[    4.000000] kernel says hi";
             l.insert(l.begin() + static_cast<long>(b) + 3, whole.substr(30));
             // 1-based: the cut line is b + 3, its rest b + 4, the next bundle line b + 5.
             return Lines{std::to_string(b + 3) + ": damaged bundle line (checksum)",
                          std::to_string(b + 5) + ": bundle line " + s + " missing",
                          std::to_string(b + 5) + ": file binary.out: bytes 48-95 missing",
                          std::to_string(b + 14) + ": file binary.out not recovered"};
         },
         {"binary.out"}},
        {"a data line lost",
         [](Lines &l, size_t b, auto &seq) {
             const std::string s = seq(l[b + 2]);
             l.erase(l.begin() + static_cast<long>(b) + 2);
             return Lines{std::to_string(b + 3) + ": bundle line " + s + " missing",
                          std::to_string(b + 3) + ": file binary.out: bytes 48-95 missing",
                          std::to_string(b + 12) + ": file binary.out not recovered"};
         },
         {"binary.out"}},
        {"a character changed",
         [](Lines &l, size_t b, auto &seq) {
             const std::string s = seq(l[b + 2]);
             std::string &line = l[b + 2];
             const size_t at = line.size() - 15;  // in the base64 text
             line[at] = line[at] == 'A' ? 'B' : 'A';
             return Lines{std::to_string(b + 3) + ": damaged bundle line (checksum)",
                          std::to_string(b + 4) + ": bundle line " + s + " missing",
                          std::to_string(b + 4) + ": file binary.out: bytes 48-95 missing",
                          std::to_string(b + 13) + ": file binary.out not recovered"};
         },
         {"binary.out"}},
        {"a file line lost",
         [](Lines &l, size_t b, auto &seq) {
             const std::string s = seq(l[b]);
             l.erase(l.begin() + static_cast<long>(b));
             return Lines{std::to_string(b + 1) + ": bundle line " + s + " missing",
                          std::to_string(b + 1) + ": data of file 4 without its file line",
                          std::to_string(b + 12) + ": file 4 not recovered: its lines are missing"};
         },
         {"binary.out"}},
        {"a line repeated",
         [](Lines &l, size_t b, auto &seq) {
             const std::string s = seq(l[b + 2]);
             l.insert(l.begin() + static_cast<long>(b) + 3, l[b + 2]);
             return Lines{std::to_string(b + 4) + ": bundle line " + s + " repeated or out of order"};
         },
         {}},
        {"the capture ends early",
         [](Lines &l, size_t b, auto &) {
             l.resize(b + 3);
             const std::string last = std::to_string(b + 3);
             return Lines{last + ": file binary.out: bytes 96-511 missing", last + ": file binary.out not recovered",
                          last + ": the bundle breaks off: 4 of 8 files recovered"};
         },
         {"binary.out", "binary.err", "rows.out", "rows.err"}},
    };
    int n = 0;
    for (const auto &c : cases) {
        Lines lines = lines_;
        const auto seq = [](const std::string &line) { return split_words(line)[1]; };
        const Lines expected_tail = c.apply(lines, binary_, seq);
        const std::string into = "back" + std::to_string(n++);
        const Unpacked got = unpack(dir_, join(lines), into);
        Lines expected;
        for (const auto &e : expected_tail) expected.push_back(dir_.file("capture.txt") + ":" + e);
        EXPECT_EQ(got.problems, expected) << c.what;
        EXPECT_EQ(got.rc, static_cast<int>(expected.size())) << c.what;
        // Every file not lost is back byte for byte; a lost one is not there at all.
        std::vector<std::string> back;
        for (const auto &file : files_) {
            if (std::find(c.lost.begin(), c.lost.end(), file) == c.lost.end()) {
                back.push_back(file);
                EXPECT_EQ(dir_.read(into + "/" + file), dir_.read("res/" + file)) << c.what << ": " << file;
            }
        }
        std::sort(back.begin(), back.end());
        EXPECT_EQ(dir_.list(into), back) << c.what;
    }
}

TEST_F(Bundle, NoBundleAndFilesAlreadyThere) {
    const std::string tap = dir_.read("res/capi-run.tap");
    const Unpacked none = unpack(dir_, tap, "none");
    EXPECT_EQ(none.problems, Lines{dir_.file("capture.txt") + ":" + std::to_string(split(tap).size()) +
                                   ": no bundle in the capture"});
    // Unpacked twice into one folder: nothing is overwritten.
    EXPECT_EQ(unpack(dir_, run_.out, "twice").rc, 0);
    const Unpacked again = unpack(dir_, run_.out, "twice");
    EXPECT_EQ(again.rc, 16);
    ASSERT_FALSE(again.problems.empty());
    EXPECT_NE(again.problems[0].find(": file capi-run.tap: File exists"), std::string::npos) << again.problems[0];
}

// Names from a capture never leave the folder; odd lines are named.
TEST_F(Bundle, HostileLinesAreRefused) {
    const struct {
        Lines lines;
        Lines problems;
    } cases[] = {
        {{"@capi 0 B 1 1", "@capi 1 F 0 3 ../x", "@capi 2 D 0 0 YWJj", "@capi 3 E 1 3"},
         {"2: bad file line", "3: data of file 0 without its file line",
          "4: file 0 not recovered: its lines are missing"}},
        {{"@capi 0 B 1 1", "@capi 1 F 0 3 sub\\x2fx", "@capi 2 D 0 0 YWJj", "@capi 3 E 1 3"},
         {"2: bad file line", "3: data of file 0 without its file line",
          "4: file 0 not recovered: its lines are missing"}},
        {{"@capi 0 B 1 1", "@capi 1 F 0 3 nul\\x00", "@capi 2 E 1 0"},
         {"2: bad file line", "3: file 0 not recovered: its lines are missing"}},
        {{"@capi 0 B 2 1", "@capi 1 E 1 0"}, {"1: begin line of an unknown bundle format",
                                              "2: bundle line after the end of the bundle",
                                              "2: no bundle in the capture"}},
        {{"@capi 0 B 1 1", "@capi 1 F 0 3 x", "@capi 2 D 0 0 YW=j", "@capi 3 E 1 3"},
         {"3: bad data line", "4: file x not recovered"}},
        {{"@capi 0 B 1 1", "@capi 1 F 0 2 x", "@capi 2 D 0 0 YWJj", "@capi 3 E 1 3"},
         {"3: file x: data at offset 0 out of place", "4: file x not recovered"}},
        {{"@capi 1 F 0 3 x", "@capi 0 B 1 0", "@capi 1 E 0 0"}, {"1: bundle line 1 before the bundle's begin line"}},
    };
    int n = 0;
    for (const auto &c : cases) {
        Lines lines;
        for (const auto &line : c.lines) lines.push_back(line_with_crc(line));
        const std::string into = "hostile" + std::to_string(n++);
        const Unpacked got = unpack(dir_, join(lines), into);
        Lines expected;
        for (const auto &p : c.problems) expected.push_back(dir_.file("capture.txt") + ":" + p);
        EXPECT_EQ(got.problems, expected) << c.lines[1];
        EXPECT_EQ(dir_.list(into), Lines{}) << c.lines[1];
    }
    EXPECT_FALSE(dir_.exists("x"));
    EXPECT_FALSE(dir_.exists("sub"));
}

}  // namespace

namespace {

// Captures mangled at random (bytes changed, lines dropped or doubled, the
// end cut): whatever comes back is the original, byte for byte, and a
// capture that lost anything never reads as whole.
TEST_F(Bundle, MangledCapturesNeverGiveWrongFiles) {
    unsigned seed = 17;
    const auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (int round = 0; round < 60; ++round) {
        Lines lines = lines_;
        const unsigned changes = 1 + next(4);
        for (unsigned k = 0; k < changes; ++k) {
            const size_t at = next(static_cast<unsigned>(lines.size()));
            switch (next(4)) {
            case 0:
                if (!lines[at].empty()) lines[at][next(static_cast<unsigned>(lines[at].size()))] ^= 1 + next(255);
                break;
            case 1:
                lines.erase(lines.begin() + static_cast<long>(at));
                break;
            case 2:
                lines.insert(lines.begin() + static_cast<long>(at), lines[at]);
                break;
            default:
                lines.resize(at + 1);
                break;
            }
        }
        const std::string capture = join(lines);
        const std::string into = "mangled" + std::to_string(round);
        const Unpacked got = unpack(dir_, capture, into);
        EXPECT_GE(got.rc, 0);
        for (const auto &file : dir_.list(into)) {
            EXPECT_EQ(dir_.read(into + "/" + file), dir_.read("res/" + file)) << round << ": " << file;
        }
        if (got.rc == 0) {
            EXPECT_EQ(dir_.list(into).size(), files_.size()) << round;
        }
    }
}

}  // namespace
