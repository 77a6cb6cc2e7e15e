#include "support.h"

#include <ftw.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

capireport::Input *read_bytes(const Source &s, size_t piece) {
    static capireport::Catalog *catalog = capireport::catalog_new();
    capireport::Reader reader(s.kind, s.path.c_str(), catalog);
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

std::string file_bytes(const std::string &path) {
    gchar *bytes = nullptr;
    gsize length = 0;
    std::string s;
    if (g_file_get_contents(path.c_str(), &bytes, &length, nullptr)) s.assign(bytes, length);
    g_free(bytes);
    return s;
}

std::string shell_word(const std::string &word) {
    gchar *q = g_shell_quote(word.c_str());
    std::string s(q);
    g_free(q);
    return s;
}

int remove_entry(const char *path, const struct stat *, int, struct FTW *) { return remove(path); }

}  // namespace

Outcome report_of(const std::vector<Source> &sources, size_t piece) {
    std::vector<capireport::Input *> inputs;
    for (const Source &s : sources) inputs.push_back(read_bytes(s, piece));
    GString *out = g_string_new(nullptr), *err = g_string_new(nullptr);
    capireport::Summary *summary = capireport::summarize(inputs.data(), inputs.size());
    capireport::write_problems(*summary, err);
    capireport::write_text(*summary, out);
    Outcome o{take(out), take(err), "", summary->status, {}};
    for (const capireport::Option &option : capireport::kOptions) {
        if (option.output == nullptr) continue;
        GString *file = g_string_new(nullptr);
        option.output(*summary, file);
        o.files[option.name] = take(file);
    }
    o.junit = o.files["junit"];
    capireport::summary_free(summary);
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

std::string xml_fault(const std::string &xml) {
    // XML 1.0 admits tab, newline, CR and the characters from U+0020 on, less
    // the surrogates (not valid UTF-8), U+FFFE and U+FFFF.
    if (!g_utf8_validate(xml.data(), static_cast<gssize>(xml.size()), nullptr)) return "not valid UTF-8";
    for (const char *p = xml.c_str(); *p; p = g_utf8_next_char(p)) {
        const gunichar c = g_utf8_get_char(p);
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xfffe || c == 0xffff) {
            return "character U+" + std::to_string(c) + " at byte " + std::to_string(p - xml.c_str());
        }
    }
    static const GMarkupParser parser = {nullptr, nullptr, nullptr, nullptr, nullptr};
    GMarkupParseContext *context = g_markup_parse_context_new(&parser, static_cast<GMarkupParseFlags>(0), nullptr, nullptr);
    GError *error = nullptr;
    std::string fault;
    if (!g_markup_parse_context_parse(context, xml.data(), static_cast<gssize>(xml.size()), &error) ||
        !g_markup_parse_context_end_parse(context, &error)) {
        fault = error ? error->message : "not well-formed";
    }
    g_clear_error(&error);
    g_markup_parse_context_free(context);
    return fault;
}

ProgramRun run_program(const std::vector<std::string> &args, const Files &files, const std::string &kept_name,
                       std::string *kept, const Files &environment, const std::string &input) {
    ProgramRun run{"", "", -1};
    mkdir(CAPI_REPORT_RUNS_DIR, 0755);
    std::string dir = std::string(CAPI_REPORT_RUNS_DIR) + "/run.XXXXXX";
    if (mkdtemp(&dir[0]) == nullptr) {
        ADD_FAILURE() << "mkdtemp " << dir;
        return run;
    }
    for (const auto &f : files) {
        gchar *parent = g_path_get_dirname((dir + "/" + f.first).c_str());
        g_mkdir_with_parents(parent, 0755);
        g_free(parent);
        g_file_set_contents((dir + "/" + f.first).c_str(), f.second.data(), static_cast<gssize>(f.second.size()), nullptr);
    }
    // Through the shell (a forked child dies at once under qemu user mode),
    // under the emulator of the build when there is one.
    std::string command = "cd " + shell_word(dir) + " && exec env";
    for (const auto &e : environment) command += " " + shell_word(e.first + "=" + e.second);
    command += " " CAPI_REPORT_RUN_PREFIX " " + shell_word(CAPI_REPORT_PROGRAM);
    for (const std::string &a : args) command += " " + shell_word(a);
    command += " <" + shell_word(input.empty() ? "/dev/null" : input);
    command += " >" + shell_word(dir + ".out") + " 2>" + shell_word(dir + ".err");
    const int status = system(command.c_str());
    if (status != -1 && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    run.out = file_bytes(dir + ".out");
    run.err = file_bytes(dir + ".err");
    if (kept) *kept = file_bytes(dir + "/" + kept_name);
    remove((dir + ".out").c_str());
    remove((dir + ".err").c_str());
    nftw(dir.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
    return run;
}
