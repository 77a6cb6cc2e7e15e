// Writes the generated sections of the reference documents from the library
// itself, and tells whether the committed documents are current.
//
//   fieldaudit_docgen --write <source dir>   rewrites the sections in place
//   fieldaudit_docgen --check <source dir>   exits 1 when a section is stale
//
// A section lies between the lines "<!-- generated: ID -->" and
// "<!-- end generated: ID -->"; everything outside the sections is
// hand-written and left as it is. The sources of the sections:
// - the checkers' steps (fieldaudit_describe): the checker tables and the
//   list of failure lines;
// - the comment line above each checker's declaration in fieldaudit.h: the
//   checker's summary;
// - the exported format table, and the formats, pattern variables,
//   value-domain tables and treatments as the library lists them
//   (fieldaudit_tools.h).
// A build tool: it runs on the build machine, so it uses the C++ library.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fieldaudit_tools.h"
#include "fieldaudit.h"

namespace {

using fieldaudit::Checker;
using fieldaudit::Step;

const char kRegenerate[] = "cmake --build --preset host --target docs";

std::vector<std::string> g_errors;

void error(const std::string &message) { g_errors.push_back(message); }

bool read_file(const std::string &path, std::string &text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

std::string code(const std::string &text) { return "`" + text + "`"; }

std::string trim(const std::string &s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// ---- Sources ---------------------------------------------------------------

// Summary of each checker: the first line of the comment that ends on the line
// directly above the checker's declaration in the public header.
std::map<std::string, std::string> read_summaries(const std::string &header) {
    std::map<std::string, std::string> summaries;
    std::vector<std::string> lines;
    std::istringstream in(header);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].compare(0, 9, "int Check") != 0) continue;
        const std::string name = lines[i].substr(4, lines[i].find('(') - 4);
        size_t first = i - 1;
        if (lines[first].find("*/") == std::string::npos) continue;
        while (first > 0 && lines[first].find("/*") == std::string::npos) --first;
        std::string text = lines[first].substr(lines[first].find("/*") + 2);
        const size_t end = text.find("*/");
        if (end != std::string::npos) text.erase(end);
        summaries[name] = trim(text);
    }
    return summaries;
}

// The library's value-domain tables by name, in selector order.
#define DOCGEN_TABLE_NAME(table) #table,
const char *const kTableNames[] = {FIELDAUDIT_DOMAIN_TABLES(DOCGEN_TABLE_NAME)};

// The format of that index, as the tools' table lists it.
const fieldaudit::Format *format_of(unsigned int index) {
    return index < fieldaudit::kFormatCount ? &fieldaudit::kFormats[index] : nullptr;
}

// The entries a count admits.
std::string entries(const fieldaudit::Domain &d, int count) {
    std::string s;
    for (int i = 0; i < fieldaudit::domain_admitted(d, count); ++i) s += (i ? ", " : "") + std::to_string(d.entries[i]);
    return s;
}

// The selector a typical target puts in a field with this count: the first
// whose table has at least `count` entries, so that all of them count.
unsigned int typical_selector(int count) {
    for (unsigned int s = 0; s < fieldaudit::kDomainCount; ++s) {
        if (fieldaudit::select_domain(s).length >= count) return s;
    }
    error("no value-domain table has " + std::to_string(count) + " entries");
    return 0;
}

std::vector<Step> steps_of(const Checker &c) {
    std::vector<Step> steps(fieldaudit::kMaxSteps);
    const size_t n = c.describe(steps.data(), steps.size());
    if (n > steps.size()) error(std::string(c.name) + " has more steps than kMaxSteps");
    steps.resize(n < steps.size() ? n : steps.size());
    return steps;
}

bool can_fail(const Checker &c) {
    for (const Step &s : steps_of(c)) {
        if (s.kind == Step::kSub ? can_fail(*s.sub) : fieldaudit::treatment(s.kind).judged) return true;
    }
    return false;
}

std::string failure_text(const Step &s) {
    std::string f = s.failure;
    if (!f.empty() && f.back() == '\n') f.pop_back();
    if (f.find_first_of("\n`|") != std::string::npos) error(std::string("failure line not shown as it is: ") + s.failure);
    return f;
}

// A link to the checker's section: headings become lower-case anchors.
std::string link(const Checker &c) {
    std::string anchor = c.name;
    for (char &ch : anchor) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return "[" + code(c.name) + "](#" + anchor + ")";
}

// ---- Sections --------------------------------------------------------------

std::string member_cell(const Step &s) {
    char space[64];
    std::string type = code(fieldaudit::member_type(s, space, sizeof space));
    if (s.member == Step::kStringRecord) type += " → `char[" + std::to_string(s.width) + "]`";
    return type;
}

std::string treatment_cell(const Step &s) {
    std::string cell = fieldaudit::treatment(s.kind).name;
    if (s.kind == Step::kDomain) {
        const unsigned int sel = typical_selector(s.count);
        cell += ", count " + std::to_string(s.count) + "; typical selector " + std::to_string(sel) + " (admits " +
                entries(fieldaudit::select_domain(sel), s.count) + ")";
    }
    return cell;
}

std::string failure_cell(const Step &s) {
    if (s.kind == Step::kShow) return "—";
    if (s.kind == Step::kSub) return "its own";
    if (s.failure != nullptr) return code(failure_text(s));
    return s.kind == Step::kDomain ? "none (the domain line only)" : "none";
}

std::string gate_cell(const Step &s) {
    if (s.kind == Step::kShow) return "—";
    if (s.gate != nullptr) return "checked only while " + code(s.gate) + " is " + code(fieldaudit::kGateOpenStatus);
    return "always";
}

std::string fields_in(const std::vector<Step> &steps, Step::Kind kind) {
    std::string s;
    for (const Step &step : steps) {
        if (step.kind == kind) s += (s.empty() ? "" : ", ") + code(step.field);
    }
    return s;
}

std::string target_sentence(const Checker &c, const std::vector<Step> &steps) {
    if (!c.has_target) {
        return "No target record: the other side of each line shows `(null)` for texts and `0` for numbers.";
    }
    std::vector<std::string> parts;
    for (const Step::Kind kind : {Step::kDomain, Step::kFormat, Step::kEqualText, Step::kEqualNumber}) {
        const std::string f = fields_in(steps, kind);
        if (!f.empty()) parts.push_back(fieldaudit::treatment(kind).target_holds + f);
    }
    for (const Step &s : steps) {
        if (s.kind != Step::kSub) continue;
        parts.push_back(std::string(s.member == Step::kRecordPointer ? "a pointer to a `" : "a nested `") +
                        s.sub->record + "` target for " + link(*s.sub));
    }
    size_t shown = 0;
    for (const Step &s : steps) shown += s.kind == Step::kShow;
    if (shown == 1) parts.push_back("anything in the printed-only field");
    if (shown > 1) parts.push_back("anything in the " + std::to_string(shown) + " printed-only fields");
    std::string sentence = "Target: ";
    for (size_t i = 0; i < parts.size(); ++i) sentence += (i ? "; " : "") + parts[i];
    sentence += ".";
    if (!can_fail(c)) sentence += " Always returns 1.";
    return sentence;
}

std::string checker_section(const Checker &c, const std::string &summary) {
    const std::vector<Step> steps = steps_of(c);
    std::string out = "## " + std::string(c.name) + "\n\n" + summary + "\n\n";
    out += "Record " + code(c.record) + ". " + target_sentence(c, steps) + "\n\n";
    out += "| Field | Member | Treatment | Failure line | Checked |\n|---|---|---|---|---|\n";
    for (const Step &s : steps) {
        const std::string field = s.kind == Step::kSub ? link(*s.sub) : code(s.field);
        out += "| " + field + " | " + member_cell(s) + " | " + treatment_cell(s) + " | " + failure_cell(s) + " | " +
               gate_cell(s) + " |\n";
    }
    return out;
}

std::string checker_index(const std::map<std::string, std::string> &summaries) {
    std::string out = "| Checker | Record | Summary |\n|---|---|---|\n";
    for (size_t k = 0; k < fieldaudit::kCheckerCount; ++k) {
        const Checker &c = fieldaudit::kCheckers[k];
        const auto s = summaries.find(c.name);
        out += "| " + link(c) + " | " + code(c.record) + " | " + (s == summaries.end() ? "" : s->second) + " |\n";
    }
    return out;
}

std::string format_names() {
    std::string out = "| Slot | Name | Index | Pattern variable |\n|---|---|---|---|\n";
    const size_t slots = sizeof DATA_FORMAT_MAP / sizeof DATA_FORMAT_MAP[0];
    for (size_t i = 0; i < slots; ++i) {
        const DataFormatMap_t &f = DATA_FORMAT_MAP[i];
        std::string variable = "—";
        if (f.name != nullptr) {
            const fieldaudit::Format *v = format_of(f.index);
            if (v == nullptr) error(std::string("no pattern variable for ") + f.name);
            if (v != nullptr) variable = code(v->variable);
        }
        out += "| " + std::to_string(i) + " | " + (f.name ? code(f.name) : "empty (null name): never matches") +
               " | " + std::to_string(f.index) + " | " + variable + " |\n";
    }
    return out;
}

// One line per format: the name, padded, then the pattern exactly as stored.
std::string format_patterns() {
    std::string out = "```\n";
    for (const DataFormatMap_t &f : DATA_FORMAT_MAP) {
        if (f.name == nullptr) continue;
        const fieldaudit::Format *v = format_of(f.index);
        if (v == nullptr) continue;
        if (**v->pattern == ' ') error(std::string("the pattern of ") + f.name + " begins with a space");
        std::string name = f.name;
        name.resize(name.size() < 19 ? 19 : name.size() + 1, ' ');
        out += name + *v->pattern + "\n";
    }
    return out + "```\n";
}

std::string domains() {
    std::string out = "| Selector | Table | Entries, in order | Length |\n|---|---|---|---|\n";
    for (unsigned int s = 0; s < fieldaudit::kDomainCount; ++s) {
        const fieldaudit::Domain d = fieldaudit::select_domain(s);
        out += "| " + std::to_string(s) + " | " + code(kTableNames[s]) + " | " +
               entries(d, d.length) + " | " + std::to_string(d.length) + " |\n";
    }
    return out;
}

// Every failure line a checker prints, with the fields that print it.
std::string failure_lines() {
    std::vector<std::string> order;
    std::map<std::string, std::string> printers;
    for (size_t k = 0; k < fieldaudit::kCheckerCount; ++k) {
        const Checker &c = fieldaudit::kCheckers[k];
        for (const Step &s : steps_of(c)) {
            if (s.kind == Step::kSub || s.failure == nullptr) continue;
            const std::string line = failure_text(s);
            if (!printers.count(line)) order.push_back(line);
            std::string &p = printers[line];
            p += (p.empty() ? "" : ", ") + code(c.name) + " " + code(s.field);
        }
    }
    std::string out = "| Failure line | Printed by |\n|---|---|\n";
    for (const std::string &line : order) out += "| " + code(line) + " | " + printers[line] + " |\n";
    return out;
}

// ---- Documents -------------------------------------------------------------

const char kBegin[] = "<!-- generated: ";
const char kEnd[] = "<!-- end generated: ";
const char kClose[] = " -->\n";

// Replaces the content of each section of `text` by its generated content.
// Sections that `sections` has and the text lacks are appended when
// `append` is set, reported otherwise; ids that only the text has are reported.
std::string regenerate(const std::string &doc, const std::string &text,
                       const std::vector<std::pair<std::string, std::string>> &sections, bool append,
                       std::vector<std::string> &stale) {
    std::map<std::string, std::string> wanted(sections.begin(), sections.end());
    std::set<std::string> seen;
    std::string out;
    size_t pos = 0;
    for (;;) {
        // A marker stands alone on its line.
        size_t begin = text.find(kBegin, pos);
        while (begin != std::string::npos && begin > 0 && text[begin - 1] != '\n') begin = text.find(kBegin, begin + 1);
        if (begin == std::string::npos) break;
        const size_t id_start = begin + sizeof kBegin - 1;
        const size_t id_end = text.find(kClose, id_start);
        if (id_end == std::string::npos || text.find('\n', id_start) < id_end) {
            error(doc + ": a section marker line that does not end in \" -->\"");
            break;
        }
        const std::string id = text.substr(id_start, id_end - id_start);
        const size_t body = id_end + sizeof kClose - 1;
        const std::string end_marker = kEnd + id + kClose;
        const size_t end = text.find(end_marker, body);
        if (end == std::string::npos) {
            error(doc + ": section \"" + id + "\" has no end marker");
            break;
        }
        out += text.substr(pos, body - pos);
        const auto w = wanted.find(id);
        if (w == wanted.end()) {
            error(doc + ": unknown section \"" + id + "\"");
            out += text.substr(body, end - body);
        } else if (!seen.insert(id).second) {
            error(doc + ": section \"" + id + "\" appears twice");
            out += text.substr(body, end - body);
        } else {
            if (text.compare(body, end - body, w->second) != 0) stale.push_back(doc + ": section \"" + id + "\"");
            out += w->second;
        }
        out += end_marker;
        pos = end + end_marker.size();
    }
    out += text.substr(pos);
    for (const auto &s : sections) {
        if (seen.count(s.first)) continue;
        stale.push_back(doc + ": section \"" + s.first + "\" is missing");
        if (append) out += "\n" + std::string(kBegin) + s.first + kClose + s.second + kEnd + s.first + kClose;
    }
    return out;
}

}  // namespace

int main(int argc, char **argv) {
    const bool write = argc == 3 && std::strcmp(argv[1], "--write") == 0;
    if (!(argc == 3 && (write || std::strcmp(argv[1], "--check") == 0))) {
        std::fprintf(stderr, "usage: %s --write|--check <source dir>\n", argv[0]);
        return 2;
    }
    const std::string root = argv[2];

    std::string header;
    if (!read_file(root + "/include/fieldaudit.h", header)) {
        std::fprintf(stderr, "cannot read %s/include/fieldaudit.h\n", root.c_str());
        return 2;
    }
    const std::map<std::string, std::string> summaries = read_summaries(header);

    std::vector<std::pair<std::string, std::string>> checkers;
    for (size_t k = 0; k < fieldaudit::kCheckerCount; ++k) {
        const Checker &c = fieldaudit::kCheckers[k];
        const auto s = summaries.find(c.name);
        if (s == summaries.end() || s->second.empty() || s->second.find('|') != std::string::npos) {
            error(std::string("include/fieldaudit.h: no one-line summary (without '|') above ") + c.name);
            continue;
        }
        checkers.emplace_back(std::string("checker ") + c.name, checker_section(c, s->second));
    }
    checkers.insert(checkers.begin(), {"checker-index", checker_index(summaries)});

    const struct {
        const char *name;
        std::vector<std::pair<std::string, std::string>> sections;
    } docs[] = {
        {"checkers.md", checkers},
        {"formats.md", {{"format-names", format_names()}, {"format-patterns", format_patterns()}, {"domains", domains()}}},
        {"output.md", {{"failure-lines", failure_lines()}}},
    };

    std::vector<std::string> stale;
    std::vector<std::pair<std::string, std::string>> updates;
    for (const auto &d : docs) {
        const std::string path = root + "/docs/" + d.name;
        std::string text;
        if (!read_file(path, text)) {
            error("cannot read " + path);
            continue;
        }
        const std::string updated = regenerate(std::string("docs/") + d.name, text, d.sections, write, stale);
        if (updated != text) updates.emplace_back(path, updated);
    }
    for (const std::string &e : g_errors) std::fprintf(stderr, "error: %s\n", e.c_str());
    if (!g_errors.empty()) return 2;

    if (write) {
        for (const auto &u : updates) {
            std::ofstream out(u.first, std::ios::binary | std::ios::trunc);
            out << u.second;
            if (!out) {
                std::fprintf(stderr, "cannot write %s\n", u.first.c_str());
                return 2;
            }
            std::printf("updated %s\n", u.first.c_str());
        }
        return 0;
    }
    if (stale.empty()) return 0;
    for (const std::string &s : stale) std::fprintf(stderr, "out of date: %s\n", s.c_str());
    std::fprintf(stderr, "The reference documents no longer match the code. Regenerate them with\n    %s\n"
                 "then review and commit docs/.\n", kRegenerate);
    return 1;
}
