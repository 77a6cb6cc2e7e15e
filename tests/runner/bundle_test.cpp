// The console bundle: capi-run --console streams each test's part as it
// ends, and the folder comes back from the capture however the console
// mangled it: lines put together again, lines rebuilt from their group's
// parity, and what stays lost named, never silently wrong.
#include "bundle.h"
#include "support.h"
#include "text.h"

#include <zlib.h>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
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

Lines words(const std::string &line) {
    Lines w;
    std::istringstream in(line);
    for (std::string word; in >> word;) w.push_back(word);
    return w;
}

struct Unpacked {
    int rc;
    Lines problems;
    std::vector<std::string> gaps;  // "NAME A-B"
    capi_bundle_outcome outcome;
};

Unpacked unpack(const RunDir &dir, const std::string &capture, const std::string &into) {
    dir.write("capture.txt", capture);
    Unpacked result{0, {}, {}, {}};
    capi_bundle_handlers handlers = {
        [](const char *message, void *data) { static_cast<Unpacked *>(data)->problems.push_back(message); },
        [](const char *name, unsigned long long first, unsigned long long last, void *data) {
            static_cast<Unpacked *>(data)->gaps.push_back(std::string(name) + " " + std::to_string(first) + "-" +
                                                         std::to_string(last));
        },
        &result};
    result.rc = capi_bundle_read(dir.file("capture.txt").c_str(), dir.file(into).c_str(), &handlers, &result.outcome);
    return result;
}

// The session every case starts from: three tests and their bundle.
// The index of the first bundle line of that kind (and part, block and line
// where given: "" is any).
size_t line_of(const Lines &lines, const char *kind, const char *part, const char *block, const char *line) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const Lines w = words(lines[i]);
        if (w.size() > 2 && w[0] == "@capi" && w[2] == kind && (!*part || (w.size() > 3 && w[3] == part)) &&
            (!*block || (w.size() > 4 && w[4] == block)) && (!*line || (w.size() > 5 && w[5] == line))) {
            return i;
        }
    }
    ADD_FAILURE() << "no line " << kind << " " << part << " " << block << " " << line;
    return 0;
}

// `text`, the file `file` as sent, with the gaps named of it ("FILE A-B")
// that lie within its first `within` bytes read as zero bytes.
std::string with_gaps(std::string text, const Lines &gaps, const std::string &file, size_t within) {
    for (const auto &gap : gaps) {
        const Lines g = words(gap);
        const size_t first = std::stoul(g[1]), last = std::stoul(g[1].substr(g[1].find('-') + 1));
        if (g[0] == file && last < within && last < text.size()) {
            text.replace(first, last - first + 1, std::string(last - first + 1, '\0'));
        }
    }
    return text;
}

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
    }
    RunDir dir_;
    CapiRunResult run_;
    Lines lines_;
};

// Each test's start line before it runs, its part right after its point;
// the lines stay printable and short.
TEST_F(Bundle, EachPartAsSoonAsItsTestEnds) {
    EXPECT_EQ(run_.status, 1);
    std::string order;
    for (const auto &line : lines_) {
        const Lines w = words(line);
        if (w[0] == "@capi") {
            for (unsigned char c : line) EXPECT_TRUE(c >= 0x20 && c < 0x7f) << line;
            EXPECT_LE(line.size(), 170u) << line;
            if (w[2] == "S" || w[2] == "E" || w[2] == "B" || w[2] == "Z") order += w[2] + (w[2] == "B" ? "" : w[3]) + " ";
        } else if (line.rfind("ok ", 0) == 0 || line.rfind("not ok ", 0) == 0) {
            order += "point" + w[w[0] == "ok" ? 1 : 2] + " ";
        }
    }
    EXPECT_EQ("B E0 S1 point1 E1 S2 point2 E2 S3 point3 E3 E4 Z5 ", order);
    // The TAP lines are the summary, as the folder holds it.
    std::string tap;
    for (const auto &line : lines_) {
        if (line.rfind("@capi ", 0) != 0) tap += line + "\n";
    }
    EXPECT_EQ(dir_.read("res/capi-run.tap"), tap);
}

struct Damage {
    const char *what;
    // Changes the capture's lines (`at` finds a line's index); gives the
    // expected problems, each "LINE: reason" with the capture's line from 1.
    std::function<Lines(Lines &, const std::function<size_t(const char *, const char *, const char *, const char *)> &at)>
        apply;
    unsigned long repaired, rebuilt;
    Lines gaps;
};

TEST_F(Bundle, EveryDamageRepairedRebuiltOrNamed) {
    const std::string kernel = "[    3.141592] random: crng init done";
    const Damage cases[] = {
        {"as printed", [](Lines &, auto &) { return Lines{}; }, 0, 0, {}},
        {"a CR before each newline, two before some, one inside a line",
         [](Lines &l, auto &at) {
             for (size_t i = 0; i < l.size(); ++i) l[i] += i % 3 == 0 ? "\r\r" : "\r";
             l[at("D", "2", "1", "0")].insert(40, "\r");
             return Lines{};
         },
         0, 0, {}},
        {"kernel lines between the lines, a daemon's text before one",
         [&](Lines &l, auto &at) {
             l[at("D", "2", "1", "0")] = "daemon: hello" + l[at("D", "2", "1", "0")];
             Lines out;
             for (size_t i = 0; i < l.size(); ++i) {
                 out.push_back(l[i]);
                 if (i % 4 == 0) out.push_back(kernel);
             }
             l = out;
             return Lines{};
         },
         1, 0, {}},
        {"text after a checksum; a kernel line inside a line, inside a prefix, inside a checksum",
         [&](Lines &l, auto &at) {
             std::string &after = l[at("D", "1", "1", "0")];
             after += kernel;
             for (const auto &cut : {std::make_pair("0", 40), std::make_pair("1", 3)}) {
                 const size_t i = at("D", "2", "1", cut.first);
                 const std::string whole = l[i];
                 l[i] = whole.substr(0, static_cast<size_t>(cut.second)) + kernel;
                 l.insert(l.begin() + static_cast<long>(i) + 1, whole.substr(static_cast<size_t>(cut.second)));
             }
             const size_t e = at("E", "3", "", "");
             const std::string end = l[e];
             l[e] = end.substr(0, end.size() - 4) + kernel;
             l.insert(l.begin() + static_cast<long>(e) + 1, end.substr(end.size() - 4));
             return Lines{};
         },
         4, 0, {}},
        {"three kernel lines inside one line",
         [&](Lines &l, auto &at) {
             const size_t i = at("D", "2", "1", "1");
             const std::string w = l[i];
             l[i] = w.substr(0, 20) + kernel;
             l.insert(l.begin() + static_cast<long>(i) + 1, w.substr(20, 30) + kernel);
             l.insert(l.begin() + static_cast<long>(i) + 2, w.substr(50, 30) + kernel);
             l.insert(l.begin() + static_cast<long>(i) + 3, w.substr(80));
             return Lines{};
         },
         1, 0, {}},
        {"a data line lost, a character changed in another group's",
         [](Lines &l, auto &at) {
             l[at("D", "2", "1", "1")][30] ^= 1;
             l.erase(l.begin() + static_cast<long>(at("D", "1", "1", "0")));
             return Lines{};
         },
         0, 2, {}},
        {"a parity line and the part's end line lost",
         [](Lines &l, auto &at) {
             l.erase(l.begin() + static_cast<long>(at("P", "2", "1", "0")));
             l.erase(l.begin() + static_cast<long>(at("E", "2", "", "")));
             return Lines{};
         },
         0, 0, {}},
        {"two lines of one group lost: the block's bytes are named",
         [](Lines &l, auto &at) {
             const size_t i = at("D", "2", "1", "0");
             l.erase(l.begin() + static_cast<long>(i), l.begin() + static_cast<long>(i) + 2);
             // Named where the block ends: at the part's end line.
             const std::string line = std::to_string(at("E", "2", "", "") + 1) + ": ";
             return Lines{line + "file capi-run.tap: bytes 303-575 lost", line + "file binary.out: bytes 0-511 lost"};
         },
         0, 0, {"capi-run.tap 303-575", "binary.out 0-511"}},
    };
    int n = 0;
    for (const auto &c : cases) {
        Lines lines = lines_;
        const auto at = [&lines](const char *kind, const char *part, const char *block, const char *line) {
            return line_of(lines, kind, part, block, line);
        };
        const Lines tails = c.apply(lines, at);
        const std::string into = "back" + std::to_string(n++);
        const Unpacked got = unpack(dir_, join(lines), into);
        Lines expected;
        for (const auto &e : tails) expected.push_back(dir_.file("capture.txt") + ":" + e);
        EXPECT_EQ(expected, got.problems) << c.what;
        EXPECT_EQ(static_cast<int>(expected.size()), got.rc) << c.what;
        EXPECT_EQ(c.gaps, got.gaps) << c.what;
        EXPECT_EQ(c.repaired, got.outcome.repaired) << c.what;
        EXPECT_EQ(c.rebuilt, got.outcome.rebuilt) << c.what;
        EXPECT_EQ(1, got.outcome.ended) << c.what;
        // Every file is back, byte for byte but for its named gap, which
        // reads as zero bytes.
        for (const auto &file : dir_.list("res")) {
            const std::string want = with_gaps(dir_.read("res/" + file), c.gaps, file, std::string::npos);
            EXPECT_EQ(want, dir_.read(into + "/" + file)) << c.what << ": " << file;
        }
        EXPECT_EQ(dir_.list("res"), dir_.list(into)) << c.what;
    }
}

// A capture cut short: every test that ended before the cut comes back
// whole; the one that was running is named, with what the console showed
// after it.
TEST_F(Bundle, CutShortGivesBackEveryTestThatEnded) {
    const struct {
        const char *after;  // what the capture holds after the start of test 3
        capi_bundle_after seen;
    } cases[] = {
        {"", CAPI_BUNDLE_AFTER_NOTHING},
        {"[   12.000000] sysrq: Trigger a crash\n[   12.010000] Kernel panic - not syncing: sysrq triggered crash\n",
         CAPI_BUNDLE_AFTER_PANIC},
        {"\nU-Boot 2024.01\n[    0.000000] Booting Linux on physical CPU 0x0\n", CAPI_BUNDLE_AFTER_BOOT},
    };
    const size_t start3 = line_of(lines_, "S", "3", "", "");
    const Lines head(lines_.begin(), lines_.begin() + static_cast<long>(start3) + 1);
    int n = 0;
    for (const auto &c : cases) {
        const std::string into = "cut" + std::to_string(n++);
        const Unpacked got = unpack(dir_, join(head) + c.after, into);
        EXPECT_EQ(Lines{dir_.file("capture.txt") + ":" + std::to_string(split(join(head) + c.after).size()) +
                        ": the bundle breaks off"},
                  got.problems);
        EXPECT_EQ(0, got.outcome.ended);
        EXPECT_EQ(2u, got.outcome.last_ended);
        EXPECT_STREQ("binary", got.outcome.last_ended_name);
        EXPECT_EQ(3u, got.outcome.running);
        EXPECT_STREQ("rows", got.outcome.running_name);
        EXPECT_EQ(c.seen, got.outcome.after);
        for (const char *file : {"pass.out", "pass.err", "binary.out", "binary.err", "capi-run.plan"}) {
            EXPECT_EQ(dir_.read(std::string("res/") + file), dir_.read(into + "/" + file)) << file;
        }
        const std::string tap = dir_.read("res/capi-run.tap");
        EXPECT_EQ(tap.substr(0, tap.find("# Subtest: rows")), dir_.read(into + "/capi-run.tap"));
    }
}

// Captures mangled at random (bytes changed, lines dropped or doubled, the
// end cut): whatever comes back is the original byte for byte but for the
// gaps named, and a capture that lost anything never reads as whole.
TEST_F(Bundle, MangledCapturesNeverGiveWrongBytes) {
    unsigned seed = 17;
    const auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (int round = 0; round < 60; ++round) {
        Lines lines = lines_;
        for (unsigned k = 1 + next(5); k > 0; --k) {
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
        const std::string into = "mangled" + std::to_string(round);
        const Unpacked got = unpack(dir_, join(lines), into);
        EXPECT_GE(got.rc, 0);
        for (const auto &file : dir_.list(into)) {
            const std::string back = dir_.read(into + "/" + file);
            const std::string want = with_gaps(dir_.read("res/" + file), got.gaps, file, back.size());
            // A file whose later parts never came is shorter: what came is its beginning.
            EXPECT_EQ(want.substr(0, back.size()), back) << round << ": " << file;
        }
        if (got.rc == 0) {
            EXPECT_EQ(dir_.list("res"), dir_.list(into)) << round;
        }
    }
}

// A line as the writer makes it: its checksum after it.
std::string with_crc(const std::string &text) {
    char crc[16];
    snprintf(crc, sizeof crc, " %08lx", crc32(0L, reinterpret_cast<const Bytef *>(text.data()),
                                                 static_cast<uInt>(text.size())));
    return text + crc;
}

// A part of one block of `bytes` after the block of its list of files.
Lines part_lines(unsigned &seq, const std::string &table, const std::string &bytes) {
    Lines lines;
    const std::string blocks[] = {table, bytes};
    for (unsigned b = 0; b < 2; ++b) {
        unsigned char packed[4096];
        uLongf length = sizeof packed;
        compress(packed, &length, reinterpret_cast<const Bytef *>(blocks[b].data()), blocks[b].size());
        char text[8192];
        capi_base64_encode(packed, length, text);
        lines.push_back(with_crc("@capi " + std::to_string(seq++) + " D 1 " + std::to_string(b) + " 0 " + text));
    }
    lines.push_back(with_crc("@capi " + std::to_string(seq++) + " E 1 2 " + std::to_string(bytes.size())));
    return lines;
}

// Names from a capture never leave the folder; odd lines are named.
TEST(BundleHostile, NothingLandsOutsideTheFolder) {
    const char lost[] = "3: part 1: its list of files lost: its files not recovered";
    const struct {
        const char *table;
        const char *problem;
        Lines files;
    } cases[] = {
        {"new 3 ../x\n", lost, {}},
        {"new 3 sub\\x2fx\n", lost, {}},
        {"new 3 nul\\x00\n", lost, {}},
        {"old 3 x\n", lost, {}},
        // Bytes the list does not account for: none is trusted.
        {"new 2 x\n", "4: file x: bytes 0-1 lost", {"x"}},
    };
    int n = 0;
    for (const auto &c : cases) {
        RunDir dir;
        unsigned seq = 1;
        Lines lines = {with_crc("@capi 0 B 2 0123456789abcdef 1")};
        for (const auto &line : part_lines(seq, c.table, "abc")) lines.push_back(line);
        lines.push_back(with_crc("@capi " + std::to_string(seq) + " Z 2"));
        const std::string into = "hostile" + std::to_string(n++);
        const Unpacked got = unpack(dir, join(lines), into);
        EXPECT_EQ(Lines{dir.file("capture.txt") + ":" + c.problem}, got.problems) << c.table;
        EXPECT_EQ(c.files, dir.list(into)) << c.table;
        EXPECT_FALSE(dir.exists("x"));
        EXPECT_FALSE(dir.exists("sub"));
    }
}

// A capture of the earlier format, one whole folder after the session.
TEST(BundleFormat1, StillUnpacks) {
    RunDir dir;
    const std::string fixtures = CAPI_RUN_FIXTURES "/format1";
    std::ifstream in(fixtures + "/console.txt");
    std::ostringstream capture;
    capture << in.rdbuf();
    const Unpacked got = unpack(dir, "[    1.000000] booted\r\n" + capture.str(), "back");
    EXPECT_EQ(Lines{}, got.problems);
    EXPECT_EQ(1, got.outcome.format);
    for (const char *file : {"a_pass.out", "a_pass.err", "b_rows.out", "b_rows.err", "capi-run.tap", "capi.xls"}) {
        std::ifstream want(fixtures + "/folder/" + file);
        std::ostringstream bytes;
        bytes << want.rdbuf();
        EXPECT_EQ(bytes.str(), dir.read(std::string("back/") + file)) << file;
    }
}

}  // namespace
