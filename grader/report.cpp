/* report.cpp -- report.json, report.csv and report.html (see grade.h).
 *
 * All three are written from the same Grading, after each student, each to
 * a new file renamed over the old one, so that a reader never meets half a
 * report. UTF-8 throughout; the CSV starts with a byte order mark so that
 * a Chinese Excel reads it as UTF-8. The HTML is one file with its style
 * and its few lines of script inside, and opens offline. */
#include <cstdio>
#include <string>

#include "grade.h"
#include "sandbox.h"

/* ============================ Escapes ===================================== */

static std::string Json(const std::string &s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') { out += '\\'; out += (char)c; }
        else if (c < 0x20) { char b[8]; snprintf(b, sizeof b, "\\u%04x", c); out += b; }
        else out += (char)c;
    }
    return out + "\"";
}

static std::string Html(const std::string &s) {
    std::string out;
    for (char c : s) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

static std::string Csv(const std::string &s) {
    std::string out = "\"";
    for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

static bool Save(const std::string &path, const std::string &text) {
    std::string tmp = path + ".new";
    FILE *f = fopen(tmp.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
    if (fclose(f) != 0 || !ok) return false;
    return MoveOver(tmp, path);
}

/* The base64url of bytes, as the page's links carry an input. */
static std::string Base64url(const std::string &bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = (unsigned char)bytes[i] << 16 | (unsigned char)bytes[i + 1] << 8 |
                     (unsigned char)bytes[i + 2];
        for (int k = 18; k >= 0; k -= 6) out += digits[(v >> k) & 63];
    }
    if (i < bytes.size()) {
        unsigned v = (unsigned char)bytes[i] << 16;
        if (i + 1 < bytes.size()) v |= (unsigned char)bytes[i + 1] << 8;
        out += digits[(v >> 18) & 63];
        out += digits[(v >> 12) & 63];
        if (i + 1 < bytes.size()) out += digits[(v >> 6) & 63];
    }
    return out;
}

/* The CRC-32 (zip's and PNG's) of bytes, as the 8 hex digits the page's
 * links carry before their input (web/page/link.js), so that the page can
 * tell a whole link from a cut one. */
static std::string Crc32Hex(const std::string &bytes) {
    unsigned long crc = 0xFFFFFFFFul;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; k++) crc = (crc & 1) ? 0xEDB88320ul ^ (crc >> 1) : crc >> 1;
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08lx", (crc ^ 0xFFFFFFFFul) & 0xFFFFFFFFul);
    return hex;
}

/* The page's link to a case: its tab and its input, behind the checksum of
 * its flag and bytes (a seeded case: its exercise, which the page makes
 * from the same size and seed), and the student's output of it (mine=, the
 * same form with no flag) when it is at most 32 KB. */
static std::string PageLink(const Grading &g, const TestCase &c, const CaseResult &r) {
    std::string flag;
    if (g.program->input == 'c') flag = "e";
    if (g.program->input == 'a') flag = c.keyboard ? "k" : "a";
    std::string mine = r.mine.empty() || r.mine.size() > 32 * 1024
                           ? ""
                           : "&mine=" + Crc32Hex(r.mine) + "." + Base64url(r.mine);
    if (!c.exercise.empty())
        return "web/index.html#" + std::string(g.program->name) + "&ex=" + c.exercise + mine;
    return "web/index.html#" + std::string(g.program->name) + "&in=" + Crc32Hex(flag + c.input) + "." + flag +
           Base64url(c.input) + mine;
}

int Score(const Grading &g, const Student &s) {
    if (g.cases.empty() || s.results.size() != g.cases.size()) return 0;
    int passed = 0;
    for (const CaseResult &r : s.results) passed += r.verdict == V_AC;
    return (int)(100 * passed / (int)g.cases.size());
}

/* ============================ The three files ============================= */

static std::string JsonReport(const Grading &g) {
    std::string t = "{\"program\": " + Json(g.program->name) + ", \"seed\": " +
                    std::to_string(g.seed) + ",\n \"sandbox\": " +
                    (g.sandbox_note.empty() ? "true" : "false") + ",\n \"cases\": [";
    for (size_t i = 0; i < g.cases.size(); i++)
        t += std::string(i ? ",\n  " : "\n  ") + "{\"id\": " + Json(g.cases[i].id) +
             ", \"group\": " + Json(g.cases[i].group) +
             ", \"public\": " + (g.cases[i].is_public ? "true" : "false") + "}";
    t += "],\n \"students\": [";
    bool first = true;
    for (const Student &s : g.students) {
        if (!s.done) continue;
        t += std::string(first ? "\n  " : ",\n  ") + "{\"name\": " + Json(s.name) +
             ", \"score\": " + std::to_string(Score(g, s)) + ", \"hint\": " + Json(s.hint) +
             ", \"cases\": [";
        first = false;
        for (size_t i = 0; i < s.results.size(); i++) {
            const CaseResult &r = s.results[i];
            t += std::string(i ? ",\n   " : "\n   ") + "{\"id\": " + Json(g.cases[i].id) +
                 ", \"verdict\": " + Json(VerdictCode(r.verdict)) + ", \"reason\": " +
                 Json(r.reason) + ", \"step\": " + std::to_string(r.step) + ", \"time_ms\": " +
                 std::to_string(r.time_ms) + ", \"memory_kb\": " + std::to_string(r.memory_kb) + "}";
        }
        t += "]}";
    }
    return t + "]}\n";
}

static std::string CsvReport(const Grading &g) {
    std::string t = "\xef\xbb\xbf" "学生,得分";
    for (int v = 0; v < V_COUNT; v++) t += std::string(",") + VerdictName((Verdict)v);
    for (const TestCase &c : g.cases) t += "," + Csv(c.id);
    t += "\r\n";
    for (const Student &s : g.students) {
        if (!s.done) continue;
        int counts[V_COUNT] = {0};
        for (const CaseResult &r : s.results) counts[r.verdict]++;
        t += Csv(s.name) + "," + std::to_string(Score(g, s));
        for (int v = 0; v < V_COUNT; v++) t += "," + std::to_string(counts[v]);
        for (const CaseResult &r : s.results) t += "," + Csv(VerdictName(r.verdict));
        t += "\r\n";
    }
    return t;
}

static const char STYLE[] =
    "body{font-family:sans-serif;margin:1.5em;color:#222}"
    "table{border-collapse:collapse;margin:1em 0}td,th{border:1px solid #bbb;padding:.25em .5em}"
    "th{background:#eef;cursor:pointer}td.AC{background:#dfd}td.PE{background:#ffd}"
    "td.WA,td.RE,td.CE{background:#fdd}td.TLE,td.MLE,td.OLE{background:#fed}"
    ".note{color:#a50}section{margin-top:1.5em}code{background:#f4f4f4}";

/* Sorting the class table by a column, numbers as numbers. */
static const char SCRIPT[] =
    "document.querySelectorAll('#class th').forEach(function(th,k){th.onclick=function(){"
    "var b=th.closest('table').tBodies[0],rows=[].slice.call(b.rows),up=th.dataset.up!=='1';"
    "th.dataset.up=up?'1':'0';rows.sort(function(x,y){var a=x.cells[k].dataset.v||x.cells[k].textContent,"
    "c=y.cells[k].dataset.v||y.cells[k].textContent,n=parseFloat(a)-parseFloat(c);"
    "var d=isNaN(n)?a.localeCompare(c,'zh'):n;return up?d:-d;});rows.forEach(function(r){b.appendChild(r);});};});";

static std::string HtmlReport(const Grading &g) {
    std::string t = "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>评测结果 " +
                    std::string(g.program->name) + "</title><style>" + STYLE + "</style></head><body>";
    t += "<h1>评测结果：" + std::string(g.program->name) + "</h1>";
    if (!g.sandbox_note.empty()) t += "<p class=\"note\">" + Html(g.sandbox_note) + "</p>";
    t += "<p>用例 " + std::to_string(g.cases.size()) + " 个；点表头排序。</p>";
    t += "<table id=\"class\"><thead><tr><th>学生</th><th>得分</th>";
    for (int v = 0; v < V_COUNT; v++) t += std::string("<th>") + VerdictName((Verdict)v) + "</th>";
    for (const TestCase &c : g.cases) t += "<th title=\"" + Html(c.group) + "\">" + Html(c.id) + "</th>";
    t += "</tr></thead><tbody>";
    for (const Student &s : g.students) {
        if (!s.done) continue;
        int counts[V_COUNT] = {0};
        for (const CaseResult &r : s.results) counts[r.verdict]++;
        t += "<tr><td><a href=\"#s-" + Html(s.name) + "\">" + Html(s.name) + "</a></td><td>" +
             std::to_string(Score(g, s)) + "</td>";
        for (int v = 0; v < V_COUNT; v++) t += "<td>" + std::to_string(counts[v]) + "</td>";
        for (const CaseResult &r : s.results)
            t += std::string("<td class=\"") + VerdictCode(r.verdict) + "\">" + VerdictName(r.verdict) + "</td>";
        t += "</tr>";
    }
    t += "</tbody></table>";
    for (const Student &s : g.students) {
        if (!s.done) continue;
        t += "<section id=\"s-" + Html(s.name) + "\"><h2>" + Html(s.name) + "：" +
             std::to_string(Score(g, s)) + " 分</h2>";
        if (!s.hint.empty()) t += "<p class=\"note\">" + Html(s.hint) + "</p>";
        bool any = false;
        for (size_t i = 0; i < s.results.size(); i++) {
            const CaseResult &r = s.results[i];
            const TestCase &c = g.cases[i];
            if (r.verdict == V_AC) continue;
            if (!any) t += "<table><tr><th>用例</th><th>分组</th><th>结果</th><th>原因</th><th>时间</th><th>内存</th><th></th></tr>";
            any = true;
            bool shown = c.is_public || !g.public_only;
            std::string reason = shown ? r.reason : (r.step ? "第 " + std::to_string(r.step) + " 步不同" : "");
            t += "<tr><td>" + Html(c.id) + "</td><td>" + Html(c.group) + "</td><td class=\"" +
                 VerdictCode(r.verdict) + "\">" + VerdictName(r.verdict) + "</td><td>" + Html(reason) +
                 "</td><td>" + std::to_string(r.time_ms) + " ms</td><td>" +
                 std::to_string(r.memory_kb) + " KB</td><td>";
            if (shown && r.verdict != V_CE) t += "<a href=\"" + Html(PageLink(g, c, r)) + "\">在网页中打开</a>";
            t += "</td></tr>";
        }
        t += any ? "</table>" : "<p>全部正确。</p>";
        t += "</section>";
    }
    return t + "<script>" + SCRIPT + "</script></body></html>\n";
}

int WriteReports(const Grading &g, const std::string &out) {
    return Save(out + "/report.json", JsonReport(g)) && Save(out + "/report.csv", CsvReport(g)) &&
           Save(out + "/report.html", HtmlReport(g));
}
