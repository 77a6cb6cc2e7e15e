// Captures everything printed with g_print, call by call, through GLib's
// print handler, so tests can compare whole outputs byte for byte and check
// that every call printed exactly one whole line.
#ifndef TOLVA_TEST_CAPTURE_H
#define TOLVA_TEST_CAPTURE_H

#include <glib.h>

#include <cstdio>

#include <string>
#include <vector>

class PrintCapture {
public:
    PrintCapture() {
        calls().clear();
        previous_ = g_set_print_handler(&PrintCapture::handler);
    }
    ~PrintCapture() { g_set_print_handler(previous_); }
    PrintCapture(const PrintCapture &) = delete;
    PrintCapture &operator=(const PrintCapture &) = delete;

    // Everything printed so far, concatenated.
    std::string text() const {
        std::string all;
        for (const std::string &c : calls()) all += c;
        return all;
    }
    // Returns the text printed so far and starts afresh.
    std::string take() {
        std::string all = text();
        calls().clear();
        return all;
    }
    // True when every g_print call printed exactly one line with its newline.
    bool whole_lines() const {
        for (const std::string &c : calls()) {
            if (c.empty() || c.find('\n') != c.size() - 1) return false;
        }
        return true;
    }
    size_t count() const { return calls().size(); }

private:
    static std::vector<std::string> &calls() {
        static std::vector<std::string> store;
        return store;
    }
    static void handler(const gchar *s) {
        calls().push_back(s);
        dump(s);
    }
    // With TOLVA_CAPTURE_DUMP set, every captured text is also appended to
    // the file it names: the whole output of a test program, for comparing
    // two builds of it (tests/musl).
    static void dump(const gchar *s) {
        const char *path = g_getenv("TOLVA_CAPTURE_DUMP");
        if (path == nullptr) return;
        FILE *file = fopen(path, "ab");
        if (file == nullptr) return;
        fputs(s, file);
        fclose(file);
    }
    GPrintFunc previous_;
};

#endif
