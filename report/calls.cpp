// Captured checker output: the kit's lines recognised, grouped into top-level
// calls and judged, from the checkers' own step lists (fieldaudit_describe).
//
// Lines of the kit:
// - field lines "<checker>,result-><field>=<value>,target-><field>=<value>"
//   (the file-entry walk: "pEntry-><field>=<value>,NULL=<value>"), of a
//   checker and field that exist, with values a checker of the kit can print
//   for the field's member: a number in the member's conversion, a text no
//   longer than the member once its "\xhh" escapes are undone, or "(null)".
//   A value is device data and may itself hold ",target-><field>="; the
//   target's value, written by the test program, follows the LAST occurrence.
// - the domain check's pass and failed lines, the steps' failure lines, and
//   the lines of Check_bool, Check_int, Check_return_result and Check_char.
// Every other line is foreign (the test program's own output) and skipped,
// wherever it stands, also inside a call; so is every line with a raw control
// byte (the kit escapes them) and every line longer than kMaxLine bytes but
// for a long Check_char line.
//
// Calls: each checker's lines follow from its steps: a field line per step,
// the domain check's pass or failed line after a domain step's line, the
// step's failure line where its check failed, a sub-checker's lines in its
// place. Where a line can begin several checkers' output (a string record's
// line begins CheckTolvaDNSTunnel_t's), every candidate is followed and the
// one that takes the most lines wins, a complete one on a tie. So a
// CheckTolva_USBDevice_t call directly followed by a CheckTolva_USBFSInfo_t
// call reads as one CheckTolvaUSBDeviceInfo_t call, which prints exactly
// those lines (all three always pass), and a DNS tunnel's output cut right
// after its string record reads as a string record's call. A call whose
// lines break off is reported as incomplete and failed. File entries that
// follow one another form one call of the walk, of that many entries (two
// walks in a row read as one; the walk always passes). A direct
// Check_data_int call shows only as a pass or failed line outside a call; a
// line of the kit that belongs to no call is a stray line. The lines are
// matched through a window a little longer than the longest call.
//
// Headings: a call keeps the test program's own line printed last before its
// first line (not blank, not cut, without a NUL; without white space around
// it), by which both outputs name it. A test program that prints a line
// ending in a row's name before the calls that decide the row gets its
// calls named after it, and in a session a failed row paired with them.
//
// Verdicts: a domain step fails with a failed line; a step with a failure
// line fails where that line follows. Steps that print no failure line (exact
// texts and numbers) are judged from the two values as the checker judges
// them: "(null)" is a null value (a text that reads "(null)" cannot be told
// from one, and is taken as null), a text whose unescaped length fills its
// member is unterminated, and both fail. Two texts shown alike are equal only
// when they hold no "\xhh" and no "?": the kit prints a backslash as it is,
// and GLib's own print handler shows as "?" what a console that is not UTF-8
// cannot show, so such a text's bytes cannot be known, and the step fails as
// one the output cannot judge. A line that GLib's default print handler
// marked "[Invalid UTF-8] " is read without the mark, its "\xhh" of bytes
// from 0x80 up taken back. A gated format check whose gate was closed prints
// no failure line and so passes, as in the checker.
#include <glib.h>
#include <string.h>

#include "catalog.h"
#include "core.h"
#include "judge.h"
#include "lines.h"

namespace capireport {

namespace {

const char kDirectDomainName[] = "Check_data_int";

FailedField *field_new(const char *label, const char *result, const char *target, const char *reason) {
    FailedField *f = g_new0(FailedField, 1);
    f->label = g_strdup(label);
    f->result = g_strdup(result);
    f->target = g_strdup(target);
    f->reason = g_strdup(reason);
    return f;
}

// A judged field of the call, kept where the call keeps its fields; a
// failing one (`reason` set) also among its failures.
void judged(Call *call, const char *label, const char *result, const char *target, const char *reason) {
    if (call->fields != nullptr) g_ptr_array_add(call->fields, field_new(label, result, target, reason));
    if (reason != nullptr) g_ptr_array_add(call->failures, field_new(label, result, target, reason));
}

// Takes the label and the reason (g_malloc'ed).
void note(Call *call, char *label, const char *result, const char *target, char *reason) {
    judged(call, label, result, target, reason);
    g_free(label);
    g_free(reason);
}

void failed_field_free(void *p) {
    FailedField *f = static_cast<FailedField *>(p);
    g_free(f->label);
    g_free(f->result);
    g_free(f->target);
    g_free(f->reason);
    g_free(f);
}

Call *call_new(const char *name, Count line, const Catalog &catalog) {
    Call *call = g_new0(Call, 1);
    call->name = name;
    call->first_line = line;
    call->last_line = line;
    call->complete = true;
    call->failures = g_ptr_array_new_with_free_func(failed_field_free);
    if (catalog.keep_fields) call->fields = g_ptr_array_new_with_free_func(failed_field_free);
    return call;
}

}  // namespace

void call_free(void *p) {
    Call *call = static_cast<Call *>(p);
    if (call->heading) g_ref_string_release(call->heading);
    g_ptr_array_free(call->failures, TRUE);
    if (call->fields) g_ptr_array_free(call->fields, TRUE);
    g_free(call);
}

struct LogState {
    Input *input;
    const Catalog *catalog;
    GPtrArray *window;  // Item *: lines of the kit not yet taken into a call
    size_t head;
    Call *walk;         // the file-entry walk still taking entries, or null
    GString *foreign;   // the last foreign line that may be a heading
    bool fresh;         // `foreign` is newer than `heading`
    char *heading;      // GRefString of it, shared by the items after it
    bool in_gap;                // the calls now break off where bytes were lost:
    Count gap_first, gap_last;  // those bytes
};

namespace {

const Item *at(const LogState &log, size_t pos) {
    return pos < log.window->len ? static_cast<const Item *>(g_ptr_array_index(log.window, pos)) : nullptr;
}

// Notes where an incomplete call breaks off, unless a deeper step did.
bool break_off(const LogState &log, Call *call, size_t pos, char *expected) {
    if (call != nullptr && call->complete) {
        const Item *item = at(log, pos);
        char line[24];
        if (item) g_snprintf(line, sizeof line, "%llu", item->line);
        char first[24], last[24];
        g_snprintf(first, sizeof first, "%llu", log.gap_first);
        g_snprintf(last, sizeof last, "%llu", log.gap_last);
        note(call, g_strdup("incomplete"), nullptr, nullptr,
             item                          ? reason(kLineWhereDue, line, expected)
             : log.in_gap                  ? reason(kLostWhereDue, first, last, expected)
                                           : reason(kEndsWhereDue, expected));
        call->complete = false;
    }
    g_free(expected);
    return false;
}

bool failure_line_at(const LogState &log, size_t pos, const Step &step) {
    const Item *item = at(log, pos);
    return item && item->kind == Item::kFailure && step.failure && strcmp(item->text, step.failure) == 0;
}

// Why a judged step failed, or null where it passed. A step whose lines show
// its verdict (an outcome or a failure line) failed where they say so; one
// whose lines do not is judged from the two values, as the checker judges.
char *reason_of(const Item &field, const Step &step, const fieldaudit::Treatment &treatment, bool failed) {
    if ((treatment.outcome_line || step.failure) && !failed) return nullptr;
    switch (step.kind) {
    case Step::kDomain: return domain_reason(field, step);
    case Step::kFormat: return format_reason(field, step);
    case Step::kEqualText: {
        char *text = equal_text_reason(field, step);
        return text || !failed ? text : reason(kReadsTheSame);
    }
    case Step::kEqualNumber: return equal_number_reason(field);
    case Step::kShow:
    case Step::kSub: break;
    }
    return nullptr;
}

// Follows the checker's lines from `pos` and moves past them; true when all
// were there. With a call, also judges each step and notes what failed;
// `sub` names the sub-checker whose steps these are, or is null.
bool match(const LogState &log, const Info &info, size_t &pos, Call *call, const char *sub) {
    for (size_t i = 0; i < info.count; ++i) {
        const Step &step = info.steps[i];
        if (step.kind == Step::kSub) {
            const Info *inner = info.subs[i];
            if (inner == nullptr) {
                return break_off(log, call, pos, g_strdup_printf("lines of %s's sub-checker", info.checker->name));
            }
            if (!match(log, *inner, pos, call, inner->checker->name)) return false;
            continue;
        }
        const Item *field = at(log, pos);
        if (!field || field->kind != Item::kField || field->info != &info || field->step != i) {
            return break_off(log, call, pos, g_strdup_printf("%s line of %s", info.checker->name, step.field));
        }
        ++pos;
        // The lines the step printed after its field line, as its treatment
        // has them: the domain check's pass or failed line, then the failure
        // line where the step failed and has one.
        const fieldaudit::Treatment &treatment = fieldaudit::treatment(step.kind);
        bool failed = false;
        if (treatment.outcome_line) {
            const Item *outcome = at(log, pos);
            if (!outcome || (outcome->kind != Item::kPass && outcome->kind != Item::kFailed)) {
                return break_off(log, call, pos, g_strdup_printf("pass or failed line of %s", step.field));
            }
            ++pos;
            failed = outcome->kind == Item::kFailed;
            if (failed && step.failure) {
                if (!failure_line_at(log, pos, step)) {
                    return break_off(log, call, pos, g_strdup_printf("failure line of %s", step.field));
                }
                ++pos;
            }
        } else if (treatment.judged && failure_line_at(log, pos, step)) {
            ++pos;
            failed = true;
        }
        char *reason = call && treatment.judged ? reason_of(*field, step, treatment, failed) : nullptr;
        if (reason || (call && call->fields && treatment.judged)) {
            char *label = sub ? g_strdup_printf("%s in %s", step.field, sub) : g_strdup(step.field);
            note(call, label, field->result, field->target, reason);
        }
    }
    return true;
}

void add_call(LogState &log, Call *call, size_t end) {
    const Item *first = at(log, log.head);
    if (first->heading) call->heading = g_ref_string_acquire(first->heading);
    const Item *last = at(log, end - 1);
    call->last_line = last->line;
    call->pass = call->complete && call->failures->len == 0;
    g_ptr_array_add(log.input->calls, call);
}

// A line of the kit that belongs to no call, with the lines that its step
// printed after it.
void stray(LogState &log, const Item &item) {
    size_t pos = log.head + 1;
    char *reason;
    if (item.kind == Item::kField) {
        const Step &step = item.info->steps[item.step];
        reason = g_strdup_printf("%s line of %s outside a whole call", item.info->checker->name, step.field);
        const Item *next = at(log, pos);
        if (fieldaudit::treatment(step.kind).outcome_line && next &&
            (next->kind == Item::kPass || next->kind == Item::kFailed)) {
            ++pos;
            if (next->kind == Item::kFailed && failure_line_at(log, pos, step)) ++pos;
        } else if (failure_line_at(log, pos, step)) {
            ++pos;
        }
    } else {
        reason = g_strdup_printf("failure line \"%.*s\" outside a call", static_cast<int>(strlen(item.text) - 1),
                                 item.text);
    }
    ++log.input->malformed;
    add_problem(log.input, item.line, reason);
    log.head = pos;
}

// Takes the call that begins at the head of the window.
void take(LogState &log) {
    const Item &item = *at(log, log.head);
    const Catalog &catalog = *log.catalog;
    if (log.walk != nullptr) {
        if (item.kind == Item::kField && item.info == catalog.walk && item.step == 0) {
            size_t pos = log.head;
            match(log, *catalog.walk, pos, log.walk, nullptr);
            ++log.walk->entries;
            log.walk->last_line = at(log, pos - 1)->line;
            log.walk->pass = log.walk->complete;
            log.head = pos;
            if (!log.walk->complete) log.walk = nullptr;
            return;
        }
        log.walk = nullptr;
    }
    Call *call = nullptr;
    switch (item.kind) {
    case Item::kPass:
    case Item::kFailed:
        call = call_new(kDirectDomainName, item.line, catalog);
        note(call, g_strdup("value"), nullptr, nullptr, item.kind == Item::kFailed ? reason(kDirectDomain) : nullptr);
        break;
    case Item::kScalar:
        call = call_new(item.name, item.line, catalog);
        note(call, g_strdup("ret"), item.result, item.target,
             strcmp(item.result, item.target) != 0 ? reason(kDiffersTar) : nullptr);
        break;
    case Item::kChar: call = call_new(item.name, item.line, catalog); break;
    case Item::kFailure: stray(log, item); return;
    case Item::kField: {
        // Every checker whose output begins with this line; the one that
        // takes the most lines wins, a complete one on a tie.
        const Info *best = nullptr;
        size_t best_length = 0;
        bool best_complete = false;
        for (size_t k = 0; k < catalog.count; ++k) {
            const Info &candidate = catalog.infos[k];
            if (candidate.first != item.info || item.step != 0) continue;
            size_t pos = log.head;
            const bool complete = match(log, candidate, pos, nullptr, nullptr);
            const size_t length = pos - log.head;
            if (best == nullptr || length > best_length || (length == best_length && complete && !best_complete)) {
                best = &candidate;
                best_length = length;
                best_complete = complete;
            }
        }
        if (best == nullptr) {
            stray(log, item);
            return;
        }
        call = call_new(best->checker->name, item.line, catalog);
        size_t pos = log.head;
        match(log, *best, pos, call, nullptr);
        if (best == catalog.walk) {
            call->entries = 1;
            if (call->complete) log.walk = call;
        }
        add_call(log, call, pos);
        log.head = pos;
        return;
    }
    }
    add_call(log, call, log.head + 1);
    ++log.head;
}

// Takes calls while the window holds more lines than the longest call, or
// every line at the end.
void drain(LogState &log, bool end) {
    while (log.head < log.window->len && (end || log.window->len - log.head >= log.catalog->window)) take(log);
    if (log.head >= 256 || log.head == log.window->len) {
        g_ptr_array_remove_range(log.window, 0, static_cast<guint>(log.head));
        log.head = 0;
    }
}

// Keeps a foreign line as the heading of the calls after it: a line that is
// not blank, not cut, and holds no NUL (a heading is shown as a C string).
void note_foreign(LogState &log, const char *bytes, size_t length, bool cut) {
    if (cut || memchr(bytes, '\0', length) != nullptr) return;
    size_t start = 0;
    while (start < length && g_ascii_isspace(bytes[start])) ++start;
    if (start == length) return;
    while (g_ascii_isspace(bytes[length - 1])) --length;
    g_string_truncate(log.foreign, 0);
    g_string_append_len(log.foreign, bytes + start, static_cast<gssize>(length - start));
    log.fresh = true;
}

}  // namespace

LogState *log_new(Input *input, const Catalog *catalog) {
    LogState *log = g_new0(LogState, 1);
    log->input = input;
    log->catalog = catalog;
    log->window = g_ptr_array_new_with_free_func(item_free);
    log->foreign = g_string_new(nullptr);
    return log;
}

void log_line(LogState *log, const char *bytes, size_t length, bool cut, Count number) {
    Item *item = classify(*log->catalog, bytes, length, cut, number);
    if (item == nullptr) {
        ++log->input->foreign;
        note_foreign(*log, bytes, length, cut);
        return;
    }
    if (log->fresh) {
        if (log->heading) g_ref_string_release(log->heading);
        log->heading = g_ref_string_new_len(log->foreign->str, static_cast<gssize>(log->foreign->len));
        log->fresh = false;
    }
    if (log->heading) item->heading = g_ref_string_acquire(log->heading);
    g_ptr_array_add(log->window, item);
    drain(*log, false);
}

void log_gap(LogState *log, Count first, Count last, Count number) {
    // The calls so far end here; what follows begins afresh, under no heading.
    log->in_gap = true;
    log->gap_first = first;
    log->gap_last = last;
    drain(*log, true);
    log->in_gap = false;
    log->walk = nullptr;
    if (log->heading) g_ref_string_release(log->heading);
    log->heading = nullptr;
    log->fresh = false;
    ++log->input->malformed;
    add_problem(log->input, number,
                g_strdup_printf("bytes %llu-%llu of the output were lost on the console: calls there cannot be judged",
                                first, last));
}

void log_finish(LogState *log) {
    drain(*log, true);
    g_ptr_array_free(log->window, TRUE);
    g_string_free(log->foreign, TRUE);
    if (log->heading) g_ref_string_release(log->heading);
    g_free(log);
}


}  // namespace capireport
