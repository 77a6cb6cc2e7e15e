// docs/interface.md against the headers and the libraries:
// - its declarations (the ```c block right under a heading) are, byte for
//   byte but for white space, every function and datum that include/*.h
//   declares, record checkers and record types aside: none missing, none
//   differing, none the headers lack;
// - every example (a ```c block of calls, each with "returns N", followed by
//   "It prints:", "It prints nothing." or "The sheet then holds:") is run: its
//   return values, its printed lines (through GLib's print handler) or the
//   sheet it leaves must be the document's;
// - the table of Get_mode texts and the table of result_sheet_append's
//   refusals (return value and errno) hold.
#include <gtest/gtest.h>

#include <errno.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "capture.h"
#include "fieldaudit.h"
#include "fieldaudit_tools.h"
#include "modeflag.h"
#include "result_sheet.h"

namespace {

std::string read_file(const std::string &path) {
    gchar *bytes = nullptr;
    gsize length = 0;
    EXPECT_TRUE(g_file_get_contents(path.c_str(), &bytes, &length, nullptr)) << path;
    const std::string text(bytes != nullptr ? bytes : "", length);
    g_free(bytes);
    return text;
}

// The lines of a text, without their newlines (none after the last one).
std::vector<std::string> lines_of(const std::string &text) {
    gchar **split = g_strsplit(text.c_str(), "\n", -1);
    std::vector<std::string> lines(split, split + g_strv_length(split));
    g_strfreev(split);
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

std::string trim(const std::string &s) {
    const size_t b = s.find_first_not_of(" \t");
    return b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool starts_with(const std::string &s, const std::string &prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

// ---- Declarations ----------------------------------------------------------

// C text without comments, preprocessor lines and the extern "C" guards.
std::string plain_c(const std::string &text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "/*") == 0) {
            const size_t end = text.find("*/", i + 2);
            i = end == std::string::npos ? text.size() : end + 1;
            out += ' ';
        } else if (text.compare(i, 2, "//") == 0) {
            i = text.find('\n', i);
            if (i == std::string::npos) break;
            out += '\n';
        } else {
            out += text[i];
        }
    }
    std::string kept;
    for (const std::string &line : lines_of(out)) {
        const std::string t = trim(line);
        if (starts_with(t, "#") || t == "}" || t == "extern \"C\" {") continue;
        kept += line + "\n";
    }
    return kept;
}

// Declared name -> declaration with white space collapsed, for every
// statement at file scope; record types and record checkers left out.
std::map<std::string, std::string> declarations(const std::string &c_text) {
    std::map<std::string, std::string> out;
    std::string statement;
    int depth = 0;
    for (char c : plain_c(c_text)) {
        if (c == '{') ++depth;
        if (c == '}') --depth;
        if (c != ';' || depth != 0) {
            statement += c;
            continue;
        }
        std::string collapsed;
        for (char s : statement) {
            const bool space = s == ' ' || s == '\t' || s == '\n';
            if (!space) collapsed += s;
            else if (!collapsed.empty() && collapsed.back() != ' ') collapsed += ' ';
        }
        collapsed = trim(collapsed);
        statement.clear();
        if (collapsed.empty()) continue;
        // The name: before the parameter list of a function, else the last
        // identifier (an array's bounds aside), after a structure's body.
        const size_t body = collapsed.rfind('}');
        const size_t from = body == std::string::npos ? 0 : body + 1;
        size_t end = collapsed.find('(', from);
        if (end == std::string::npos) end = collapsed.find('[', from);
        if (end == std::string::npos) end = collapsed.size();
        while (end > from && collapsed[end - 1] == ' ') --end;
        size_t begin = end;
        while (begin > from && (g_ascii_isalnum(collapsed[begin - 1]) || collapsed[begin - 1] == '_')) --begin;
        const std::string name = collapsed.substr(begin, end - begin);
        if (starts_with(name, "Tolva") || starts_with(name, "CheckTolva")) continue;
        EXPECT_EQ(0u, out.count(name)) << "declared twice: " << name;
        out[name] = collapsed + ";";
    }
    return out;
}

std::map<std::string, std::string> header_declarations() {
    std::map<std::string, std::string> all;
    GDir *dir = g_dir_open(TOLVA_INCLUDE_DIR, 0, nullptr);
    EXPECT_NE(nullptr, dir) << TOLVA_INCLUDE_DIR;
    if (dir == nullptr) return all;
    while (const char *entry = g_dir_read_name(dir)) {
        if (!g_str_has_suffix(entry, ".h")) continue;
        for (const auto &d : declarations(read_file(std::string(TOLVA_INCLUDE_DIR) + "/" + entry))) {
            EXPECT_EQ(0u, all.count(d.first)) << d.first << " declared in two headers";
            all.insert(d);
        }
    }
    g_dir_close(dir);
    return all;
}

// ---- The document ----------------------------------------------------------

const char *const kPrints = "It prints:";
const char *const kPrintsNothing = "It prints nothing.";
const char *const kSheetHolds = "The sheet then holds:";

struct Block {
    std::string language;
    std::string body;
    bool under_heading;  // the block directly follows a heading
    std::string after;   // the first non-blank line after it
    size_t line;         // where it opens, from 1
};

std::vector<Block> blocks(const std::string &doc) {
    std::vector<Block> out;
    const std::vector<std::string> lines = lines_of(doc);
    std::string previous;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!starts_with(lines[i], "```")) {
            if (!trim(lines[i]).empty()) previous = lines[i];
            continue;
        }
        Block b{lines[i].substr(3), "", starts_with(previous, "#"), "", i + 1};
        for (++i; i < lines.size() && lines[i] != "```"; ++i) b.body += lines[i] + "\n";
        for (size_t j = i + 1; j < lines.size(); ++j) {
            if (!trim(lines[j]).empty()) {
                b.after = lines[j];
                break;
            }
        }
        previous = "```";
        out.push_back(b);
    }
    return out;
}

bool is_example(const Block &b) {
    return b.language == "c" && (b.after == kPrints || b.after == kPrintsNothing || b.after == kSheetHolds);
}

// The body of the block that follows `b` in the document.
std::string following_body(const std::vector<Block> &all, const Block &b) {
    for (size_t i = 0; i + 1 < all.size(); ++i) {
        if (&all[i] == &b) return all[i + 1].body;
    }
    ADD_FAILURE() << "no block after line " << b.line;
    return "";
}

// The rows of the table whose header row starts with `header`, split into
// cells (trimmed, code quotes dropped).
std::vector<std::vector<std::string>> table(const std::string &doc, const std::string &header) {
    std::vector<std::vector<std::string>> rows;
    const std::vector<std::string> lines = lines_of(doc);
    size_t i = 0;
    while (i < lines.size() && !starts_with(lines[i], header)) ++i;
    EXPECT_LT(i, lines.size()) << "no table " << header;
    for (i += 2; i < lines.size() && starts_with(lines[i], "| "); ++i) {
        std::vector<std::string> cells;
        std::istringstream in(lines[i].substr(1));
        for (std::string cell; std::getline(in, cell, '|');) {
            cell = trim(cell);
            if (cell.size() >= 2 && cell.front() == '`' && cell.back() == '`') cell = cell.substr(1, cell.size() - 2);
            cells.push_back(cell);
        }
        rows.push_back(cells);
    }
    return rows;
}

// ---- Running the examples ----------------------------------------------------

struct Arg {
    enum Kind { kNumber, kText, kNull } kind;
    long number;
    std::string text;
};

// A call as the examples write it: name(arg, ...), each argument an integer,
// a string literal (escapes \n \t \" \\) or NULL. Empty name on a syntax error.
struct Call {
    std::string name;
    std::vector<Arg> args;
    size_t end;  // just past the closing parenthesis
};

Call parse_call(const std::string &s, size_t at) {
    Call call{"", {}, 0};
    size_t i = at;
    while (i < s.size() && (g_ascii_isalnum(s[i]) || s[i] == '_')) call.name += s[i++];
    if (i >= s.size() || s[i] != '(') return Call{"", {}, 0};
    ++i;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ') ++i;
        if (i < s.size() && s[i] == ')' && call.args.empty()) break;
        Arg arg{Arg::kNumber, 0, ""};
        if (s.compare(i, 4, "NULL") == 0) {
            arg.kind = Arg::kNull;
            i += 4;
        } else if (s[i] == '"') {
            arg.kind = Arg::kText;
            for (++i; i < s.size() && s[i] != '"'; ++i) {
                if (s[i] != '\\' || i + 1 >= s.size()) {
                    arg.text += s[i];
                    continue;
                }
                const char e = s[++i];
                arg.text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
            }
            ++i;
        } else {
            char *end = nullptr;
            arg.number = strtol(s.c_str() + i, &end, 10);
            if (end == s.c_str() + i) return Call{"", {}, 0};
            i = static_cast<size_t>(end - s.c_str());
        }
        call.args.push_back(arg);
        while (i < s.size() && s[i] == ' ') ++i;
        if (i < s.size() && s[i] == ',') {
            ++i;
            continue;
        }
        break;
    }
    if (i >= s.size() || s[i] != ')') return Call{"", {}, 0};
    call.end = i + 1;
    return call;
}

// Runs calls in a fresh folder: relative sheet paths name files in it.
class Runner {
public:
    Runner() {
        char *dir = g_dir_make_tmp("interface-doc-XXXXXX", nullptr);
        EXPECT_NE(nullptr, dir);
        dir_ = dir != nullptr ? dir : "";
        g_free(dir);
    }
    ~Runner() {
        for (const char *name : {"capi.xls", "link.xls", "fifo.xls", "elsewhere.xls"}) g_unlink(file(name).c_str());
        g_rmdir(file("folder.xls").c_str());
        g_rmdir(dir_.c_str());
    }
    Runner(const Runner &) = delete;
    Runner &operator=(const Runner &) = delete;

    std::string file(const std::string &name) const { return dir_ + "/" + name; }

    // The return value of the call; fails the test for a call it cannot run.
    int run(const Call &call) const {
        const std::vector<Arg> &a = call.args;
        auto text = [&](size_t i) { return a[i].kind == Arg::kNull ? nullptr : a[i].text.c_str(); };
        auto number = [&](size_t i) { return static_cast<int>(a[i].number); };
        auto shape = [&](const char *kinds) {
            if (a.size() != strlen(kinds)) return false;
            for (size_t i = 0; i < a.size(); ++i) {
                if ((kinds[i] == 'n') != (a[i].kind == Arg::kNumber)) return false;
            }
            return true;
        };
        if (call.name == "Check_bool" && shape("nn")) return Check_bool(number(0), number(1));
        if (call.name == "Check_int" && shape("nn")) return Check_int(number(0), number(1));
        if (call.name == "Check_return_result" && shape("nn")) return Check_return_result(number(0), number(1));
        if (call.name == "Check_char" && shape("tt")) return Check_char(text(0), text(1));
        if (call.name == "Check_data_int" && shape("nnn")) {
            return Check_data_int(number(0), static_cast<unsigned int>(a[1].number), number(2));
        }
        if (call.name == "Check_data_format" && shape("tt")) return Check_data_format(text(0), text(1));
        if (call.name == "find_data_format_index" && shape("t")) return find_data_format_index(text(0));
        if (call.name == "Get_mode" && shape("t")) return Get_mode(text(0));
        if (call.name == "result_sheet_append" && shape("ttn") && a[0].kind == Arg::kText) {
            // Never the standard sheet: the path names a file in the folder.
            return result_sheet_append(file(a[0].text).c_str(), text(1), number(2));
        }
        ADD_FAILURE() << "no way to run " << call.name << " with these arguments";
        return -100;
    }

    // The sheet's bytes as the document shows them: a tab as \t.
    std::string sheet() const {
        std::string shown;
        for (char c : read_file(file("capi.xls"))) shown += c == '\t' ? std::string("\\t") : std::string(1, c);
        return shown;
    }

private:
    std::string dir_;
};

const std::string kDoc = std::string(TOLVA_DOCS_DIR) + "/interface.md";

// The functions of the headers besides the record checkers; each has an example.
const std::set<std::string> kFunctions = {
    "Check_bool",     "Check_int",         "Check_return_result",    "Check_char",         "Check_data_int",
    "Check_data_format", "find_data_format_index", "Get_mode", "result_sheet_append"};

TEST(InterfaceDoc, DeclaresWhatTheHeadersDeclare) {
    const std::map<std::string, std::string> headers = header_declarations();
    std::string documented_text;
    for (const Block &b : blocks(read_file(kDoc))) {
        if (b.language == "c" && b.under_heading) documented_text += b.body;
    }
    const std::map<std::string, std::string> documented = declarations(documented_text);
    for (const auto &h : headers) {
        const auto d = documented.find(h.first);
        if (d == documented.end()) {
            ADD_FAILURE() << "not in interface.md: " << h.second;
        } else {
            EXPECT_EQ(h.second, d->second) << "interface.md differs from the header";
        }
    }
    for (const auto &d : documented) {
        EXPECT_EQ(1u, headers.count(d.first)) << "no header declares " << d.second;
    }
    // Nothing declared escaped the reading of the headers: they declare the
    // functions, the format table with its type, a value table per domain
    // selector and a pattern variable per format, as the tools' lists name them.
    std::set<std::string> names(kFunctions.begin(), kFunctions.end());
    names.insert({"DataFormatMap_t", "DATA_FORMAT_MAP"});
#define FIELDAUDIT_NAME(name) names.insert(#name);
    FIELDAUDIT_DOMAIN_TABLES(FIELDAUDIT_NAME)
#undef FIELDAUDIT_NAME
#define FIELDAUDIT_VARIABLE(name, variable, pattern) names.insert(#variable);
    FIELDAUDIT_FORMATS(FIELDAUDIT_VARIABLE)
#undef FIELDAUDIT_VARIABLE
    std::set<std::string> declared;
    for (const auto &h : headers) declared.insert(h.first);
    EXPECT_EQ(names, declared);
}

TEST(InterfaceDoc, ExamplesReturnAndPrintWhatTheyShow) {
    const std::vector<Block> all = blocks(read_file(kDoc));
    std::set<std::string> shown;
    for (const Block &b : all) {
        if (!is_example(b)) continue;
        SCOPED_TRACE("example at interface.md line " + std::to_string(b.line));
        Runner runner;
        PrintCapture capture;
        for (const std::string &line : lines_of(b.body)) {
            const Call call = parse_call(line, line.find_first_not_of(' '));
            ASSERT_FALSE(call.name.empty()) << "not a call: " << line;
            const size_t returns = line.find("/* returns ", call.end);
            ASSERT_NE(std::string::npos, returns) << "no return value given: " << line;
            EXPECT_EQ(atoi(line.c_str() + returns + 11), runner.run(call)) << line;
            shown.insert(call.name);
        }
        EXPECT_TRUE(capture.whole_lines());
        if (b.after == kSheetHolds) {
            EXPECT_EQ(following_body(all, b), runner.sheet());
            EXPECT_EQ("", capture.text());
        } else {
            EXPECT_EQ(b.after == kPrints ? following_body(all, b) : "", capture.text());
        }
    }
    EXPECT_EQ(kFunctions, shown);
}

TEST(InterfaceDoc, GetModeTableHolds) {
    const auto rows = table(read_file(kDoc), "| Text | Mode |");
    EXPECT_GE(rows.size(), 10u);
    for (const std::vector<std::string> &row : rows) {
        ASSERT_EQ(3u, row.size());
        const std::string text = row[0] == "(empty)" ? "" : row[0];
        EXPECT_EQ(atoi(row[1].c_str()), Get_mode(row[0] == "NULL" ? nullptr : text.c_str())) << row[0];
    }
}

TEST(InterfaceDoc, SheetRefusalsHold) {
    const auto rows = table(read_file(kDoc), "| Call | Returns | errno |");
    const std::map<std::string, int> errors = {{"EINVAL", EINVAL}, {"ELOOP", ELOOP},   {"EISDIR", EISDIR},
                                               {"ENXIO", ENXIO},   {"ENOENT", ENOENT}};
    EXPECT_GE(rows.size(), 8u);
    for (const std::vector<std::string> &row : rows) {
        SCOPED_TRACE(row[0]);
        ASSERT_EQ(4u, row.size());
        Runner runner;
        ASSERT_EQ(0, symlink("elsewhere.xls", runner.file("link.xls").c_str()));
        ASSERT_EQ(0, g_mkdir(runner.file("folder.xls").c_str(), 0755));
        ASSERT_EQ(0, mkfifo(runner.file("fifo.xls").c_str(), 0644));
        const Call call = parse_call(row[0], 0);
        ASSERT_EQ("result_sheet_append", call.name);
        ASSERT_EQ(1u, errors.count(row[2]));
        errno = 0;
        EXPECT_EQ(atoi(row[1].c_str()), runner.run(call));
        EXPECT_EQ(errors.at(row[2]), errno) << g_strerror(errno);
        EXPECT_FALSE(g_file_test(runner.file("capi.xls").c_str(), G_FILE_TEST_EXISTS)) << "a sheet was created";
        EXPECT_FALSE(g_file_test(runner.file("elsewhere.xls").c_str(), G_FILE_TEST_EXISTS)) << "link followed";
    }
}

}  // namespace
