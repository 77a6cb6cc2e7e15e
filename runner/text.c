/* Escaping, base64, decimal numbers, whole writes and problem lines. */
#define _POSIX_C_SOURCE 200809L
#include "text.h"

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

static const char kHex[] = "0123456789abcdef";
static const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

size_t capi_escape(const char *text, size_t length, const char *special, char *out, size_t size)
{
    size_t n = 0;
    size_t i;
    for (i = 0; i < length; ++i) {
        const unsigned char byte = (unsigned char)text[i];
        char piece[4];
        size_t piece_length;
        if (byte < 0x20 || byte >= 0x7f) {
            piece[0] = '\\';
            piece[1] = 'x';
            piece[2] = kHex[byte >> 4];
            piece[3] = kHex[byte & 15];
            piece_length = 4;
        } else if (byte == '\\' || (special != NULL && strchr(special, byte) != NULL)) {
            piece[0] = '\\';
            piece[1] = (char)byte;
            piece_length = 2;
        } else {
            piece[0] = (char)byte;
            piece_length = 1;
        }
        if (size - n <= piece_length) {
            if (size > 0) {
                out[0] = '\0';
            }
            return (size_t)-1;
        }
        memcpy(out + n, piece, piece_length);
        n += piece_length;
    }
    if (size == 0) {
        return (size_t)-1;
    }
    out[n] = '\0';
    return n;
}

static int hex_value(char c)
{
    const char *at = c != '\0' ? strchr(kHex, c) : NULL;
    return at != NULL ? (int)(at - kHex) : -1;
}

size_t capi_unescape(const char *text, size_t length, char *out, size_t size)
{
    size_t n = 0;
    size_t i = 0;
    while (i < length) {
        char byte = text[i++];
        if (byte == '\\') {
            if (i == length) {
                return (size_t)-1;
            }
            byte = text[i++];
            if (byte == 'x') {
                int high;
                int low;
                if (length - i < 2 || (high = hex_value(text[i])) < 0 ||
                    (low = hex_value(text[i + 1])) < 0) {
                    return (size_t)-1;
                }
                byte = (char)(high << 4 | low);
                i += 2;
            }
        }
        if (n + 1 >= size) {
            return (size_t)-1;
        }
        out[n++] = byte;
    }
    if (size == 0) {
        return (size_t)-1;
    }
    out[n] = '\0';
    return n;
}

size_t capi_base64_encode(const unsigned char *data, size_t length, char *out)
{
    size_t n = 0;
    size_t i;
    for (i = 0; i < length; i += 3) {
        const size_t left = length - i;
        const uint32_t group = (uint32_t)data[i] << 16 | (left > 1 ? (uint32_t)data[i + 1] << 8 : 0) |
                               (left > 2 ? data[i + 2] : 0);
        out[n++] = kBase64[group >> 18];
        out[n++] = kBase64[(group >> 12) & 63];
        out[n++] = left > 1 ? kBase64[(group >> 6) & 63] : '=';
        out[n++] = left > 2 ? kBase64[group & 63] : '=';
    }
    out[n] = '\0';
    return n;
}

size_t capi_base64_decode(const char *text, size_t length, unsigned char *out)
{
    size_t n = 0;
    size_t i;
    if (length % 4 != 0) {
        return (size_t)-1;
    }
    for (i = 0; i < length; i += 4) {
        uint32_t group = 0;
        int pad = 0;
        int k;
        for (k = 0; k < 4; ++k) {
            const char c = text[i + k];
            const char *at = c != '\0' ? strchr(kBase64, c) : NULL;
            if (c == '=' && i + 4 == length && k >= 2) {
                ++pad;
                group <<= 6;
            } else if (at != NULL && pad == 0) {
                group = group << 6 | (uint32_t)(at - kBase64);
            } else {
                return (size_t)-1;
            }
        }
        out[n++] = (unsigned char)(group >> 16);
        if (pad < 2) {
            out[n++] = (unsigned char)(group >> 8);
        }
        if (pad < 1) {
            out[n++] = (unsigned char)group;
        }
    }
    return n;
}

void capi_problem_at(void (*problem)(const char *message, void *data), void *data, const char *path,
                     unsigned long line, const char *format, va_list args)
{
    char message[1024];
    int n;
    if (problem == NULL) {
        return;
    }
    n = snprintf(message, sizeof message, "%s:%lu: ", path, line);
    if (n < 0 || (size_t)n >= sizeof message) {
        n = 0;
    }
    vsnprintf(message + n, sizeof message - (size_t)n, format, args);
    problem(message, data);
}

int capi_write_all(int fd, const void *data, size_t length, off_t *at)
{
    const char *bytes = (const char *)data;
    while (length > 0) {
        const ssize_t n = at != NULL ? pwrite(fd, bytes, length, *at) : write(fd, bytes, length);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        bytes += n;
        length -= (size_t)n;
        if (at != NULL) {
            *at += n;
        }
    }
    return 0;
}

size_t capi_split_words(char *text, char **words, size_t max, int rest)
{
    size_t n = 0;
    char *at = text;
    while (n < max) {
        words[n++] = at;
        if (rest && n == max) {
            return n;
        }
        at = strchr(at, ' ');
        if (at == NULL) {
            return n;
        }
        *at++ = '\0';
    }
    return n + 1;
}

int capi_read_crc(const char *text, unsigned long *value)
{
    unsigned long n = 0;
    size_t i;
    for (i = 0; i < 8; ++i) {
        const char c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return 0;
        }
        n = n << 4 | (unsigned long)(c <= '9' ? c - '0' : c - 'a' + 10);
    }
    *value = n;
    return 1;
}

int capi_close_read(FILE *file)
{
    const int error = ferror(file) ? (errno != 0 ? errno : EIO) : 0;
    fclose(file);
    return error;
}

int capi_read_decimal(const char *text, unsigned long long *value)
{
    unsigned long long n = 0;
    const char *at = text;
    if (*at < '0' || *at > '9' || (at[0] == '0' && at[1] != '\0')) {
        return 0;
    }
    for (; *at >= '0' && *at <= '9'; ++at) {
        const unsigned digit = (unsigned)(*at - '0');
        if (n > (ULLONG_MAX - digit) / 10) {
            return 0;
        }
        n = n * 10 + digit;
    }
    if (*at != '\0') {
        return 0;
    }
    *value = n;
    return 1;
}

int capi_case_fields(const char *line, size_t length, const char *field[4], size_t lengths[4])
{
    size_t n = 0;
    size_t start = 0;
    size_t i;
    for (i = 0; i <= length && n < 4; ++i) {
        if (i == length || line[i] == '\t') {
            field[n] = line + start;
            lengths[n++] = i - start;
            start = i + 1;
        }
    }
    return n == 4 && start == length + 1;
}
