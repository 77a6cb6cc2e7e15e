// The matrix page (--html FILE): one HTML file that needs nothing else (no
// network, no other file: its style and script are inline, and its content
// security policy forbids anything else), with a column per input (a
// session by its labels, anything else by its path) and a row per case by
// its key (triage.h: "SUITE/CASE" as a report of its input alone names it),
// so that the same case of several gateways' sessions is one row.
//
// Each cell carries data-outcome: pass, fail, error, known (a known
// failure) or absent (the input has no such case); with a comparison also
// data-class, the case's class (regression, new, still-failing, known,
// fixed, gone). A cell that does not pass holds its message, the fields that
// changed and a failed call's fields (result, target, reason) in a
// <details>, one click away. With a comparison the rows come in the order
// of the classes of their cells (regressions first), else in the order of
// the report. The page's script counts the cells of each outcome as the
// browser read them into #counted (the report's own counts are in #counts)
// and hides the rows that pass everywhere at a click.
//
// Every name and value is made valid UTF-8 and escaped (render.h,
// append_markup): the inputs' bytes are never markup.
#include <string.h>

#include "render.h"
#include "triage.h"

namespace capireport {

namespace {

const char kOutcomes[][8] = {"pass", "fail", "error", "known", "absent"};
enum { kPass, kFail, kError, kKnown, kAbsent, kOutcomeCount };

const char kHead[] =
    "<!DOCTYPE html>\n"
    "<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
    "script-src 'unsafe-inline'\">\n"
    "<title>capi-report</title>\n"
    "<style>\n"
    "body{font:13px sans-serif;margin:1em}table{border-collapse:collapse}\n"
    "th,td{border:1px solid #bbb;padding:2px 4px;vertical-align:top;text-align:left}\n"
    "thead th{position:sticky;top:0;background:#eee;white-space:pre-line}\n"
    "tbody th{font-weight:normal;font-family:monospace;max-width:40em;overflow-wrap:anywhere}\n"
    "td[data-outcome=pass]{background:#c8f0c8}td[data-outcome=fail]{background:#f7a8a8}\n"
    "td[data-outcome=error]{background:#f6c878}td[data-outcome=known]{background:#c8c8f4}\n"
    "td[data-outcome=absent]{background:#f4f4f4;color:#999}\n"
    "td[data-class=regression]{outline:3px solid #c00;outline-offset:-3px}\n"
    "details table{margin-top:4px;font-family:monospace}summary{cursor:pointer}\n"
    ".only tr.ok{display:none}\n"
    "</style></head><body>\n";

const char kScript[] =
    "<script>\n"
    "(function(){var o=['pass','fail','error','known','absent'],t=[];\n"
    "for(var i=0;i<o.length;i++)t.push(o[i]+'='+document.querySelectorAll('td[data-outcome=\"'+o[i]+'\"]').length);\n"
    "document.getElementById('counted').textContent=t.join(' ');\n"
    "document.getElementById('only').addEventListener('change',function(){\n"
    "document.getElementById('matrix').classList.toggle('only',this.checked);});})();\n"
    "</script>\n";

void text(GString *html, const char *value) { render::append_markup(html, value); }

// A case of one input, with its comparison where there is one.
struct Cell {
    const TestCase *c;
    const CaseTriage *t;
};

struct MatrixRow {
    const char *key;
    Cell *cells;  // one per input; c null where the input has no such case
    int rank;     // the first class of its cells (Change), kUnchanged + 1 where none
    bool ok;      // no cell fails
};

int outcome_of(const Cell &cell) {
    if (cell.c == nullptr) return kAbsent;
    if (cell.c->known) return kKnown;
    return cell.c->verdict == TestCase::kPassed ? kPass : cell.c->verdict == TestCase::kFailed ? kFail : kError;
}

// "still-failing" for "STILL FAILING".
void append_class(GString *html, const char *word) {
    for (const char *p = word; *p; ++p) g_string_append_c(html, *p == ' ' ? '-' : g_ascii_tolower(*p));
}

// A failed call's fields; the cells' end tags left out, as HTML allows, to
// keep a page of many failures small.
void call_fields(GString *html, const Call &call) {
    g_string_append(html, "<table><tr><th>field<th>result<th>target<th>reason");
    for (guint i = 0; i < call.failures->len; ++i) {
        const FailedField &f = render::failure_at(call, i);
        g_string_append(html, "<tr><td>");
        text(html, f.label);
        g_string_append(html, "<td>");
        if (f.result) text(html, f.result);
        g_string_append(html, "<td>");
        if (f.target) text(html, f.target);
        g_string_append(html, "<td>");
        text(html, f.reason);
    }
    g_string_append(html, "</table>");
}

void cell(GString *html, const Cell &cell, Count counts[]) {
    const int outcome = outcome_of(cell);
    ++counts[outcome];
    const char *word = cell.t ? change_word(cell.t->change) : nullptr;
    g_string_append_printf(html, "<td data-outcome=\"%s\"", kOutcomes[outcome]);
    if (word) {
        g_string_append(html, " data-class=\"");
        append_class(html, word);
        g_string_append_c(html, '"');
    }
    g_string_append_c(html, '>');
    if (outcome == kPass || outcome == kAbsent) {
        g_string_append(html, word ? word : kOutcomes[outcome]);
        g_string_append(html, "</td>");
        return;
    }
    const TestCase &c = *cell.c;
    g_string_append(html, "<details><summary>");
    g_string_append(html, word ? word : kOutcomes[outcome]);
    g_string_append(html, "</summary>");
    if (c.known) {
        char *known = render::known_text(c.known);
        text(html, known);
        g_free(known);
        g_string_append(html, "<br>");
    }
    // A failed call's message names its failing fields, which its table gives.
    const bool fields = c.call && c.call->failures->len > 0;
    if (!fields) text(html, render::plain_message(c));
    for (guint i = 0; cell.t && i < cell.t->lines->len; ++i) {
        if (i > 0 || !fields) g_string_append(html, "<br>");
        text(html, static_cast<const char *>(cell.t->lines->pdata[i]));
    }
    if (fields) call_fields(html, *c.call);
    g_string_append(html, "</details></td>");
}

gint by_rank(gconstpointer a, gconstpointer b) {
    return (*static_cast<MatrixRow *const *>(a))->rank - (*static_cast<MatrixRow *const *>(b))->rank;
}

void row_free(void *p) {
    MatrixRow *row = static_cast<MatrixRow *>(p);
    g_free(row->cells);
    g_free(row);
}

// The rows, a row per key in the order first met; the cells each input
// gives them.
GPtrArray *rows_of(const Summary &s, const GPtrArray *suites, const GPtrArray *keys) {
    GPtrArray *rows = g_ptr_array_new_with_free_func(row_free);
    GHashTable *by_key = g_hash_table_new(g_str_hash, g_str_equal);
    const auto row_for = [&](const char *key) {
        MatrixRow *row = static_cast<MatrixRow *>(g_hash_table_lookup(by_key, key));
        if (row == nullptr) {
            row = g_new0(MatrixRow, 1);
            row->key = key;
            row->cells = g_new0(Cell, s.count);
            row->rank = kUnchanged + 1;
            row->ok = true;
            g_hash_table_insert(by_key, const_cast<char *>(key), row);
            g_ptr_array_add(rows, row);
        }
        return row;
    };
    guint flat = 0;
    for (guint i = 0; i < suites->len; ++i) {
        const TestSuite &suite = *static_cast<const TestSuite *>(g_ptr_array_index(suites, i));
        for (guint k = 0; k < suite.cases->len; ++k, ++flat) {
            MatrixRow *row = row_for(static_cast<const char *>(g_ptr_array_index(keys, flat)));
            Cell &cell = row->cells[suite.input];
            cell.c = static_cast<const TestCase *>(g_ptr_array_index(suite.cases, k));
            cell.t = s.triage ? static_cast<const CaseTriage *>(g_ptr_array_index(s.triage->cases, flat)) : nullptr;
            if (cell.t && cell.t->change < row->rank) row->rank = cell.t->change;
            if (cell.c->verdict != TestCase::kPassed) row->ok = false;
        }
    }
    for (guint i = 0; s.triage && i < s.triage->gone->len; ++i) {
        const CaseTriage *gone = static_cast<const CaseTriage *>(g_ptr_array_index(s.triage->gone, i));
        MatrixRow *row = row_for(gone->key);
        row->cells[gone->input].t = gone;
        if (gone->change < row->rank) row->rank = gone->change;
    }
    g_hash_table_destroy(by_key);
    if (s.triage) g_ptr_array_sort(rows, by_rank);  // stable: the report's order within a class
    return rows;
}

}  // namespace

void write_html(const Summary &s, GString *html) {
    GPtrArray *suites = test_suites(s);
    GPtrArray *keys = case_keys(suites);
    GPtrArray *rows = rows_of(s, suites, keys);
    g_string_append(html, kHead);
    g_string_append_printf(html, "<h1>capi-report</h1>\n<p>%zu input%s, %u case%s", s.count, s.count == 1 ? "" : "s",
                           rows->len, rows->len == 1 ? "" : "s");
    if (s.triage && s.triage->baseline) {
        g_string_append(html, ", compared with ");
        text(html, s.triage->baseline->path);
    }
    g_string_append(html,
                    "</p>\n<p><label><input type=\"checkbox\" id=\"only\"> only the cases that do not pass "
                    "everywhere</label></p>\n"
                    "<table id=\"matrix\">\n<thead><tr><th>case</th>");
    for (size_t i = 0; i < s.count; ++i) {
        const Input &in = *s.inputs[i].input;
        g_string_append(html, "<th>");
        // A session's labels a line each, or the input's path.
        for (guint k = 0; k < in.labels->len; ++k) {
            if (k > 0) g_string_append_c(html, '\n');
            text(html, static_cast<const char *>(g_ptr_array_index(in.labels, k)));
        }
        if (in.labels->len == 0) text(html, in.path);
        g_string_append(html, "</th>");
    }
    g_string_append(html, "</tr></thead>\n<tbody>\n");
    Count counts[kOutcomeCount] = {};
    for (guint r = 0; r < rows->len; ++r) {
        const MatrixRow &row = *static_cast<const MatrixRow *>(g_ptr_array_index(rows, r));
        g_string_append(html, row.ok ? "<tr class=\"ok\"><th>" : "<tr><th>");
        text(html, row.key);
        g_string_append(html, "</th>");
        for (size_t i = 0; i < s.count; ++i) cell(html, row.cells[i], counts);
        g_string_append(html, "</tr>\n");
    }
    g_string_append(html, "</tbody></table>\n<p>The report's cells: <span id=\"counts\">");
    for (int i = 0; i < kOutcomeCount; ++i) g_string_append_printf(html, "%s%s=%llu", i ? " " : "", kOutcomes[i], counts[i]);
    g_string_append(html, "</span>; as this page was read: <output id=\"counted\"></output></p>\n");
    g_string_append(html, kScript);
    g_string_append(html, "</body></html>\n");
    g_ptr_array_unref(rows);
    g_ptr_array_unref(keys);
    g_ptr_array_unref(suites);
}

}  // namespace capireport
