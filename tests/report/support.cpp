#include "support.h"

#include <fcntl.h>
#include <ftw.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <glib.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

const capireport::Catalog *catalog() {
    static capireport::Catalog *c = capireport::catalog_new();
    return c;
}

capireport::Input *read_bytes(const Source &s, size_t piece) {
    capireport::Reader reader(s.kind, s.path.c_str(), catalog());
    const size_t step = piece ? piece : s.bytes.size() + 1;
    for (size_t at = 0; at < s.bytes.size(); at += step) {
        reader.feed(s.bytes.data() + at, std::min(step, s.bytes.size() - at));
    }
    return reader.finish();
}

std::string take(GString *text) {
    std::string s(text->str, text->len);
    g_string_free(text, TRUE);
    return s;
}

}  // namespace

Outcome report_of(const std::vector<Source> &sources, size_t piece) {
    std::vector<capireport::Input *> inputs;
    for (const Source &s : sources) inputs.push_back(read_bytes(s, piece));
    GString *out = g_string_new(nullptr), *err = g_string_new(nullptr), *xml = g_string_new(nullptr);
    capireport::write_problems(inputs.data(), inputs.size(), err);
    capireport::write_text(inputs.data(), inputs.size(), out);
    capireport::write_junit(inputs.data(), inputs.size(), xml);
    Outcome o{take(out), take(err), take(xml), capireport::exit_status(inputs.data(), inputs.size())};
    for (capireport::Input *in : inputs) capireport::input_free(in);
    return o;
}

std::vector<std::string> calls_of(const std::string &log, size_t piece) {
    capireport::Input *in = read_bytes(Source{capireport::kLog, "log", log}, piece);
    std::vector<std::string> calls;
    for (guint i = 0; i < in->calls->len; ++i) {
        const capireport::Call *c = static_cast<const capireport::Call *>(g_ptr_array_index(in->calls, i));
        calls.push_back(std::string(c->name) + (c->pass ? " PASS" : " FAIL"));
    }
    capireport::input_free(in);
    return calls;
}

namespace {

struct Parse {
    JUnit *junit;
    std::string element;  // the innermost open element
};

std::string attribute(const gchar **names, const gchar **values, const char *name) {
    for (; *names; ++names, ++values) {
        if (std::string(*names) == name) return *values;
    }
    return "";
}

void on_start(GMarkupParseContext *, const gchar *element, const gchar **names, const gchar **values, gpointer data,
              GError **) {
    Parse &p = *static_cast<Parse *>(data);
    const std::string e = element;
    p.element = e;
    if (e == "testsuites") {
        p.junit->tests = attribute(names, values, "tests");
        p.junit->failures = attribute(names, values, "failures");
        p.junit->errors = attribute(names, values, "errors");
    } else if (e == "testsuite") {
        p.junit->suites.push_back(Suite{attribute(names, values, "name"), attribute(names, values, "tests"),
                                        attribute(names, values, "failures"), attribute(names, values, "errors"), {}});
    } else if (e == "testcase" && !p.junit->suites.empty()) {
        TestCase c;
        c.name = attribute(names, values, "name");
        c.classname = attribute(names, values, "classname");
        p.junit->suites.back().cases.push_back(c);
    } else if ((e == "failure" || e == "error") && !p.junit->suites.empty() && !p.junit->suites.back().cases.empty()) {
        TestCase &c = p.junit->suites.back().cases.back();
        (e == "failure" ? c.failure : c.error) = true;
        c.message = attribute(names, values, "message");
    }
}

void on_text(GMarkupParseContext *, const gchar *text, gsize length, gpointer data, GError **) {
    Parse &p = *static_cast<Parse *>(data);
    if ((p.element == "failure" || p.element == "error") && !p.junit->suites.empty() &&
        !p.junit->suites.back().cases.empty()) {
        p.junit->suites.back().cases.back().body.append(text, length);
    }
}

void on_end(GMarkupParseContext *, const gchar *, gpointer data, GError **) {
    static_cast<Parse *>(data)->element.clear();
}

// XML 1.0 admits tab, newline, CR and the characters from U+0020 on, less
// the surrogates, U+FFFE and U+FFFF.
bool xml_characters(const std::string &xml, std::string *why) {
    if (!g_utf8_validate(xml.data(), static_cast<gssize>(xml.size()), nullptr)) {
        *why = "not valid UTF-8";
        return false;
    }
    for (const char *p = xml.c_str(); *p; p = g_utf8_next_char(p)) {
        const gunichar c = g_utf8_get_char(p);
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xfffe || c == 0xffff) {
            *why = "character U+" + std::to_string(c) + " at byte " + std::to_string(p - xml.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

JUnit parse_junit(const std::string &xml) {
    JUnit junit;
    if (!xml_characters(xml, &junit.error)) return junit;
    GMarkupParser parser = {on_start, on_end, on_text, nullptr, nullptr};
    Parse p{&junit, ""};
    GMarkupParseContext *context = g_markup_parse_context_new(&parser, static_cast<GMarkupParseFlags>(0), &p, nullptr);
    GError *error = nullptr;
    junit.parsed = g_markup_parse_context_parse(context, xml.data(), static_cast<gssize>(xml.size()), &error) &&
                   g_markup_parse_context_end_parse(context, &error);
    if (error) {
        junit.error = error->message;
        g_error_free(error);
    }
    g_markup_parse_context_free(context);
    return junit;
}

namespace {

int remove_entry(const char *path, const struct stat *, int, struct FTW *) { return remove(path); }

std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

ProgramRun run_program(const std::vector<std::string> &args, const std::vector<std::pair<std::string, std::string>> &files,
                const std::string &kept_name, std::string *kept) {
    ProgramRun run{"", "", -1};
    mkdir(CAPI_REPORT_RUNS_DIR, 0755);
    std::string dir = std::string(CAPI_REPORT_RUNS_DIR) + "/run.XXXXXX";
    if (mkdtemp(&dir[0]) == nullptr) {
        ADD_FAILURE() << "mkdtemp " << dir;
        return run;
    }
    for (const auto &f : files) {
        std::ofstream out(dir + "/" + f.first, std::ios::binary);
        out << f.second;
    }
    std::vector<std::string> words;
    std::istringstream prefix(CAPI_REPORT_RUN_PREFIX);
    for (std::string w; prefix >> w;) words.push_back(w);
    words.push_back(CAPI_REPORT_PROGRAM);
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &w : words) argv.push_back(&w[0]);
    argv.push_back(nullptr);

    const std::string out = dir + ".out", err = dir + ".err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(0, failed) << "posix_spawn " << argv[0];
    int status = 0;
    if (failed == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    run.out = read_file(out);
    run.err = read_file(err);
    if (kept) *kept = read_file(dir + "/" + kept_name);
    remove(out.c_str());
    remove(err.c_str());
    nftw(dir.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
    return run;
}
