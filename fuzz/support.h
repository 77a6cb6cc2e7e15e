// Shared by the fuzz targets: reading the input, records made from it, and
// the checks every target makes of what the library prints.
#ifndef TOLVA_FUZZ_SUPPORT_H
#define TOLVA_FUZZ_SUPPORT_H

#include <glib.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// Reads the input front to back; past its end every byte reads as zero.
class Input {
public:
    Input(const uint8_t *data, size_t size) : data_(data), size_(size), at_(0) {}

    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }

    void fill(void *out, size_t n) {
        const size_t have = at_ < size_ ? size_ - at_ : 0;
        const size_t take = n < have ? n : have;
        if (take) memcpy(out, data_ + at_, take);
        memset(static_cast<char *>(out) + take, 0, n - take);
        at_ += take;
    }

    template <class T>
    T number() {
        T value;
        fill(&value, sizeof value);
        return value;
    }

    // The bytes up to the next NUL (or the end), as a heap block of exactly
    // their length plus the terminator, so a read past it is caught.
    char *text() {
        size_t n = 0;
        while (at_ + n < size_ && data_[at_ + n] != 0) ++n;
        char *copy = static_cast<char *>(malloc(n + 1));
        if (n) memcpy(copy, data_ + at_, n);
        copy[n] = '\0';
        at_ += n + (at_ + n < size_ ? 1 : 0);
        return copy;
    }

    bool empty() const { return at_ >= size_; }

private:
    const uint8_t *data_;
    size_t size_;
    size_t at_;
};

// Every g_print call must deliver exactly one line: one newline, at its end.
inline void check_one_line(const gchar *text) {
    const char *newline = strchr(text, '\n');
    if (newline == nullptr || newline[1] != '\0') {
        fprintf(stderr, "a print call that is not one whole line: \"%s\"\n", text);
        abort();
    }
}

// Fuzzing set-up: GLib warnings and criticals abort, output is checked and
// dropped.
inline void fuzz_setup() {
    g_log_set_always_fatal(static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL));
    g_set_print_handler(check_one_line);
}

#endif
