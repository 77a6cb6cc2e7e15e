// Reading inputs line by line with bounded memory, and the result sheet's
// rows.
//
// A sheet row is read by resultsheet's own reading of the rows it writes
// (result_sheet_read_row): the name, " \t ", "pass" or "failed". A line is
// malformed, reported and skipped when it is longer than kMaxLine bytes or
// when that reading refuses it. A CR directly before the newline (a file
// that went through a CRLF conversion) is taken as part of the line end, in
// sheets (resultsheet's result_sheet_line_length says so for every reader of
// sheets) and logs alike; a last line without a newline is read like any
// other.
#include "core.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include "lines.h"
#include "result_sheet_row.h"

namespace capireport {

namespace {

void row_name_free(void *p) {
    RowName *name = static_cast<RowName *>(p);
    g_free(name->name);
    g_free(name);
}

void session_test_free(void *p) {
    SessionTest *test = static_cast<SessionTest *>(p);
    input_free(test->log);
    input_free(test->rows);
    g_free(test->missing);
    g_free(test);
}

void gap_free(void *p) {
    Gap *gap = static_cast<Gap *>(p);
    g_free(gap->file);
    g_free(gap);
}

void problem_free(void *p) {
    Problem *problem = static_cast<Problem *>(p);
    g_free(problem->reason);
    g_free(problem);
}

void sheet_line(Input *input, const char *line, size_t length, bool cut, Count number) {
    size_t name_length = 0;
    int verdict = 0;
    const char *problem = cut ? nullptr : result_sheet_read_row(line, length, &name_length, &verdict);
    const bool pass = verdict == 1;
    if (cut || problem != nullptr) {
        ++input->malformed;
        add_problem(input, number, cut ? g_strdup_printf("line longer than %zu bytes", kMaxLine) : g_strdup(problem));
        return;
    }
    // The name holds no NUL (a control byte), so it can be a C string.
    char *key = g_strndup(line, name_length);
    RowName *name = static_cast<RowName *>(g_hash_table_lookup(input->by_name, key));
    if (name == nullptr) {
        name = g_new0(RowName, 1);
        name->name = key;
        g_ptr_array_add(input->names, name);
        g_hash_table_insert(input->by_name, name->name, name);
    } else {
        g_free(key);
    }
    ++name->runs;
    const Count run = name->runs;
    ++(pass ? name->passes : name->failures);
    name->latest_pass = pass;
    Row *row = g_new0(Row, 1);
    row->name = name;
    row->line = number;
    row->run = run;
    row->pass = pass;
    g_ptr_array_add(input->rows, row);
}

// Reads the descriptor to its end, handing each piece read to `piece`;
// 0, or the errno of the read that failed.
template <typename Piece>
int read_pieces(int fd, Piece piece) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) return 0;
        piece(buffer, static_cast<size_t>(got));
    }
}

}  // namespace

Input *input_new(Kind kind, const char *path) {
    Input *input = g_new0(Input, 1);
    input->kind = kind;
    input->path = g_strdup(path);
    input->names = g_ptr_array_new_with_free_func(row_name_free);
    input->by_name = g_hash_table_new(g_str_hash, g_str_equal);
    input->rows = g_ptr_array_new_with_free_func(g_free);
    input->calls = g_ptr_array_new_with_free_func(call_free);
    input->problems = g_ptr_array_new_with_free_func(problem_free);
    input->tests = g_ptr_array_new_with_free_func(session_test_free);
    input->labels = g_ptr_array_new_with_free_func(g_free);
    input->gaps = g_ptr_array_new_with_free_func(gap_free);
    return input;
}

// The texts of strerror() differ between C libraries ("Symbolic link loop"
// or "Too many levels of symbolic links" for ELOOP), and the report must not.
// The errors open() and read() give for a file; any other as its number.
char *read_error_text(int error) {
    static const struct {
        int error;
        const char *text;
    } kTexts[] = {
        {ENOENT, "No such file or directory"},
        {EACCES, "Permission denied"},
        {EPERM, "Operation not permitted"},
        {EISDIR, "Is a directory"},
        {ENOTDIR, "Not a directory"},
        {ELOOP, "Too many levels of symbolic links"},
        {ENAMETOOLONG, "File name too long"},
        {EIO, "Input/output error"},
        {ENXIO, "No such device or address"},
        {ENODEV, "No such device"},
        {EMFILE, "Too many open files"},
        {ENFILE, "Too many open files in system"},
        {ENOMEM, "Cannot allocate memory"},
        {EOVERFLOW, "Value too large for defined data type"},
        {EINVAL, "Invalid argument"},
        {EAGAIN, "Resource temporarily unavailable"},
        {ETXTBSY, "Text file busy"},
        {EFAULT, "Bad address"},
        {ENOSPC, "No space left on device"},
        {EROFS, "Read-only file system"},
        {EDQUOT, "Disk quota exceeded"},
        {EFBIG, "File too large"},
    };
    for (const auto &t : kTexts) {
        if (t.error == error) return g_strdup(t.text);
    }
    return g_strdup_printf("error %d", error);
}

void add_problem(Input *input, Count line, char *reason, bool whole) {
    ++input->problem_count;
    if (input->problems->len >= kMaxProblems) {
        g_free(reason);
        return;
    }
    Problem *problem = g_new0(Problem, 1);
    problem->line = line;
    problem->reason = reason;
    problem->whole = whole;
    g_ptr_array_add(input->problems, problem);
}

Reader::Reader(Kind kind, const char *path, const Catalog *catalog, const LineRange *lines, const GPtrArray *gaps)
    : input_(input_new(kind, path)), catalog_(catalog), line_(g_string_sized_new(256)), cut_(false), number_(0),
      lines_(lines ? *lines : LineRange{1, ~0ULL}), kit_line_(0), log_(nullptr), gaps_(gaps), offset_(0),
      line_start_(0), gap_(0) {
    input_->part = lines != nullptr;
    if (kind == kLog) log_ = log_new(input_, catalog_);
}

Reader::~Reader() {
    if (log_ != nullptr) log_finish(log_);
    if (input_ != nullptr) input_free(input_);
    g_string_free(line_, TRUE);
}

void Reader::feed(const char *bytes, size_t length) {
    while (length > 0) {
        const char *newline = static_cast<const char *>(memchr(bytes, '\n', length));
        const size_t part = newline ? static_cast<size_t>(newline - bytes) : length;
        const size_t room = kMaxLine - line_->len;
        if (part > room) cut_ = true;
        g_string_append_len(line_, bytes, static_cast<gssize>(part < room ? part : room));
        if (newline == nullptr) {
            offset_ += length;
            return;
        }
        offset_ += part + 1;
        line();
        line_start_ = offset_;
        bytes += part + 1;
        length -= part + 1;
    }
}

void Reader::line() {
    ++number_;
    // A CR before the newline is part of the line end, for a log line as
    // for a sheet row (result_sheet_line_length).
    const size_t length = cut_ ? line_->len : result_sheet_line_length(line_->str, line_->len);
    // A line that holds bytes the capture lost is not read: the log says
    // where they are, once for each gap.
    bool lost = false;
    while (gaps_ != nullptr && gap_ < gaps_->len) {
        const Gap &gap = *static_cast<const Gap *>(g_ptr_array_index(gaps_, gap_));
        if (gap.first >= offset_) break;
        if (gap.last >= line_start_) lost = true;
        if (gap.last >= offset_) break;
        if (log_ != nullptr) log_gap(log_, gap.first, gap.last, number_);
        ++gap_;
    }
    if (lost) {
        // Not read.
    } else if (number_ < lines_.first || number_ > lines_.last) {
        // Not a line of this part.
    } else if (input_->kind == kSheet) {
        const Count malformed = input_->malformed;
        sheet_line(input_, line_->str, length, cut_, number_);
        if (input_->malformed > malformed && kit_line_ == 0) {
            Item *item = classify(*catalog_, line_->str, length, cut_, number_);
            if (item != nullptr) {
                kit_line_ = number_;
                item_free(item);
            }
        }
    } else {
        log_line(log_, line_->str, length, cut_, number_);
    }
    g_string_truncate(line_, 0);
    cut_ = false;
}

Input *Reader::finish() {
    if (line_->len > 0 || cut_) line();
    // Gaps at the file's end (past its last line).
    for (; gaps_ != nullptr && gap_ < gaps_->len; ++gap_) {
        const Gap &gap = *static_cast<const Gap *>(g_ptr_array_index(gaps_, gap_));
        if (log_ != nullptr) log_gap(log_, gap.first, gap.last, number_ + 1);
    }
    if (log_ != nullptr) {
        log_finish(log_);
        log_ = nullptr;
    }
    if (input_->kind == kSheet && input_->rows->len == 0 && kit_line_ != 0) {
        // Captured test output given as a sheet: one hint in place of a
        // problem per line.
        g_ptr_array_set_size(input_->problems, 0);
        input_->problem_count = 0;
        add_problem(input_, kit_line_,
                    g_strdup("a checker's line, not a sheet row: this is captured test output; give it with --log"));
    } else if (!input_->part && input_->kind == kSheet && input_->rows->len == 0) {
        add_problem(input_, 0, g_strdup("no rows"));
    }
    if (!input_->part && input_->kind == kLog && input_->calls->len == 0) {
        add_problem(input_, 0, g_strdup("no checker calls"));
    }
    Input *done = input_;
    input_ = nullptr;
    return done;
}

Input *read_input(Kind kind, const char *path, const Catalog *catalog, const LineRange *lines, const GPtrArray *gaps) {
    Reader reader(kind, path, catalog, lines, gaps);
    const bool standard_input = strcmp(path, "-") == 0;
    const int fd = standard_input ? STDIN_FILENO : open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY);
    int failure = fd < 0 ? errno : 0;
    if (fd >= 0) {
        failure = read_pieces(fd, [&reader](const char *bytes, size_t length) { reader.feed(bytes, length); });
        if (!standard_input) close(fd);
    }
    Input *input = reader.finish();
    if (failure != 0) {
        // What was read before the error is dropped: a half-read input
        // proves nothing.
        Input *unread = input_new(kind, path);
        char *text = read_error_text(failure);
        unread->error = g_strdup_printf("cannot read %s: %s", standard_input ? "standard input" : path, text);
        g_free(text);
        input_free(input);
        return unread;
    }
    return input;
}

char *read_file(const char *path, size_t *length, char **error) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY);
    int failure = fd < 0 ? errno : 0;
    GString *bytes = g_string_new(nullptr);
    if (fd >= 0) {
        failure = read_pieces(fd, [bytes](const char *piece, size_t n) {
            g_string_append_len(bytes, piece, static_cast<gssize>(n));
        });
        close(fd);
    }
    if (failure != 0) {
        char *text = read_error_text(failure);
        *error = g_strdup_printf("cannot read %s: %s", path, text);
        g_free(text);
        g_string_free(bytes, TRUE);
        return nullptr;
    }
    *length = bytes->len;
    return g_string_free(bytes, FALSE);
}

void input_free(Input *input) {
    if (input == nullptr) return;
    g_free(input->path);
    g_free(input->error);
    g_hash_table_destroy(input->by_name);
    g_ptr_array_free(input->rows, TRUE);
    g_ptr_array_free(input->names, TRUE);
    g_ptr_array_free(input->calls, TRUE);
    g_ptr_array_free(input->problems, TRUE);
    g_ptr_array_free(input->tests, TRUE);
    g_ptr_array_free(input->labels, TRUE);
    g_ptr_array_free(input->gaps, TRUE);
    g_free(input->cut);
    g_free(input->capture);
    g_free(input);
}

char *input_name(const Input &input) {
    if (input.labels->len == 0) return g_strdup(input.path);
    GString *name = g_string_new(nullptr);
    for (guint i = 0; i < input.labels->len; ++i) {
        if (i > 0) g_string_append_c(name, ' ');
        g_string_append(name, static_cast<const char *>(g_ptr_array_index(input.labels, i)));
    }
    return g_string_free(name, FALSE);
}

}  // namespace capireport
