/* judge.cpp -- verdicts and reasons (see judge.h).
 *
 * A difference of form is peeled off one kind at a time, in the order a
 * student would look for it: a byte order mark, the encoding, the line
 * ends, blanks at the ends of lines, the final newline. What is left after
 * all of them is either nothing (格式错误, with the sentence of each kind
 * found) or a real difference (答案错误, at its first differing line). */
#include "judge.h"

#include <csignal>
#include <cstring>
#include <iconv.h>
#include <vector>

static const char *const CODES[V_COUNT] = {"AC", "PE", "WA", "TLE", "MLE", "OLE", "RE", "CE"};
static const char *const NAMES[V_COUNT] = {"答案正确", "格式错误", "答案错误", "运行超时",
                                           "内存超限", "输出超限", "运行错误", "编译错误"};

const char *VerdictCode(Verdict v) { return CODES[v]; }
const char *VerdictName(Verdict v) { return NAMES[v]; }

/* ============================ Encodings =================================== */

/* Converts bytes with iconv; returns 0 when some byte does not convert. */
static int Convert(const char *to, const char *from, const std::string &in, std::string *out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1) return 0;
    out->assign(in.size() * 2 + 16, '\0');
    char *src = const_cast<char *>(in.data());
    size_t left = in.size();
    char *dst = &(*out)[0];
    size_t room = out->size();
    size_t r = iconv(cd, &src, &left, &dst, &room);
    iconv_close(cd);
    if (r == (size_t)-1) return 0;
    out->resize(out->size() - room);
    return 1;
}

static bool IsUtf8(const std::string &s) {
    std::string ignored;
    return Convert("UTF-16LE", "UTF-8", s, &ignored) == 1;
}

static bool HasHighBytes(const std::string &s) {
    for (unsigned char c : s)
        if (c >= 0x80) return true;
    return false;
}

std::string ToUtf8(const std::string &bytes) {
    if (IsUtf8(bytes)) return bytes;
    std::string out;
    if (Convert("UTF-8", "GB18030", bytes, &out)) return out;
    out.clear();
    for (unsigned char c : bytes) out += c < 0x80 ? std::string(1, (char)c) : "\xef\xbf\xbd";
    return out;
}

/* ============================ Lines ======================================= */

static std::vector<std::string> SplitLines(const std::string &s) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < s.size(); i++)
        if (s[i] == '\n') { lines.push_back(s.substr(start, i - start)); start = i + 1; }
    if (start < s.size()) lines.push_back(s.substr(start));
    return lines;
}

static std::vector<std::string> Tokens(const std::string &line) {
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) i++;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') i++;
        if (i > start) tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}

static std::string StripLineEnds(const std::string &s) {
    std::vector<std::string> lines = SplitLines(s);
    std::string out;
    for (size_t i = 0; i < lines.size(); i++) {
        std::string l = lines[i];
        while (!l.empty() && (l.back() == ' ' || l.back() == '\t')) l.pop_back();
        out += l;
        if (i + 1 < lines.size() || (!s.empty() && s.back() == '\n')) out += '\n';
    }
    return out;
}

/* A window of at most 60 characters of a line around byte offset at. */
static std::string Window(const std::string &line, size_t at) {
    size_t from = at > 30 ? at - 30 : 0;
    std::string piece = line.substr(from, 60);
    std::string shown = ToUtf8(piece);
    return (from > 0 ? "…" : "") + shown + (from + 60 < line.size() ? "…" : "");
}

/* ============================ The comparison ============================== */

Verdict CompareOutputs(const std::string &ours, const std::string &theirs,
                       std::string *reason, int *step) {
    reason->clear();
    *step = 0;
    if (ours == theirs) return V_AC;
    std::string got = theirs;
    std::vector<std::string> notes;
    if (got.compare(0, 3, "\xef\xbb\xbf") == 0 && ours.compare(0, 3, "\xef\xbb\xbf") != 0) {
        got.erase(0, 3);
        notes.push_back("输出以字节顺序标记（BOM）开头，应当没有");
    }
    std::string gbk;
    if (HasHighBytes(ours) && HasHighBytes(got) && !IsUtf8(ours) && IsUtf8(got) &&
        Convert("GB18030", "UTF-8", got, &gbk)) {
        got = gbk;
        notes.push_back("输出是 UTF-8 编码，应为 GBK");
    }
    if (got.find("\r\n") != std::string::npos && ours.find("\r\n") == std::string::npos) {
        std::string lf;
        for (size_t i = 0; i < got.size(); i++)
            if (!(got[i] == '\r' && i + 1 < got.size() && got[i + 1] == '\n')) lf += got[i];
        got = lf;
        notes.push_back("行尾是 CRLF（\\r\\n），应为 LF（\\n）");
    }
    if (got != ours && StripLineEnds(got) == StripLineEnds(ours)) {
        std::vector<std::string> a = SplitLines(ours), b = SplitLines(got);
        for (size_t i = 0; i < a.size() && i < b.size(); i++) {
            if (a[i] == b[i]) continue;
            bool missing = a[i].size() > b[i].size();
            notes.push_back("第 " + std::to_string(i + 1) + " 行行尾" +
                            (missing ? "少了空格（应有行尾空格）" : "多了空格"));
            break;
        }
        got = ours;
    }
    if (got != ours) {
        bool ours_nl = !ours.empty() && ours.back() == '\n';
        bool got_nl = !got.empty() && got.back() == '\n';
        if (got + "\n" == ours) { notes.push_back("最后一行缺少换行符"); got = ours; }
        else if (got == ours + "\n") { notes.push_back("最后多了一个换行符"); got = ours; }
        else if (ours_nl != got_nl && StripLineEnds(got + (ours_nl ? "\n" : "")) ==
                                          StripLineEnds(ours + (got_nl ? "\n" : ""))) {
            notes.push_back(ours_nl ? "最后一行缺少换行符" : "最后多了一个换行符");
            got = ours;
        }
    }
    std::vector<std::string> a = SplitLines(ours), b = SplitLines(got);
    if (got != ours) {
        size_t n = a.size() > b.size() ? a.size() : b.size();
        for (size_t i = 0; i < n; i++) {
            std::vector<std::string> ta = i < a.size() ? Tokens(a[i]) : std::vector<std::string>();
            std::vector<std::string> tb = i < b.size() ? Tokens(b[i]) : std::vector<std::string>();
            if (ta == tb) continue;
            if (i >= b.size()) {
                *reason = "第 " + std::to_string(i + 1) + " 行缺失：应为「" + Window(a[i], 0) + "」";
                return V_WA;
            }
            if (i >= a.size()) {
                *reason = "多出第 " + std::to_string(i + 1) + " 行「" + Window(b[i], 0) + "」";
                return V_WA;
            }
            size_t k = 0;
            while (k < ta.size() && k < tb.size() && ta[k] == tb[k]) k++;
            std::string want = k < ta.size() ? ta[k] : "（行已结束）";
            std::string came = k < tb.size() ? tb[k] : "（行已结束）";
            *step = (int)k + 1;
            *reason = "第 " + std::to_string(i + 1) + " 行第 " + std::to_string(k + 1) +
                      " 项不同：应为「" + Window(want, 0) + "」，实际为「" + Window(came, 0) + "」";
            return V_WA;
        }
        notes.push_back("空白不同（空格、制表符或空行）");
    }
    for (size_t i = 0; i < notes.size(); i++) *reason += (i ? "；" : "") + notes[i];
    return V_PE;
}

/* ============================ The verdict ================================= */

Verdict JudgeCase(const Outcome &ours, const Outcome &theirs, int robust,
                  const std::string &seeded, int seeded_exists, const Limits &limits,
                  std::string *reason, int *step) {
    const RunResult &r = theirs.run;
    reason->clear();
    *step = 0;
    /* Memory first: a program that grows past the limit is also slowed down
     * by it, and the growth is the fault. */
    if (r.memory_kb > limits.memory_kb) {
        *reason = "内存峰值 " + std::to_string(r.memory_kb / 1024) + " MB，超过 " +
                  std::to_string(limits.memory_kb / 1024) + " MB";
        return V_MLE;
    }
    if (r.timed_out) {
        *reason = r.time_ms > limits.time_ms
                      ? "CPU 时间超过 " + std::to_string(limits.time_ms) + " ms"
                      : "运行 " + std::to_string(r.wall_ms) + " ms 仍未结束（等待输入或休眠也算）";
        return V_TLE;
    }
    if (r.output_flood || r.signal == SIGXFSZ) {
        *reason = "输出超过 " + std::to_string(limits.output_bytes / 1024) + " KB";
        return V_OLE;
    }
    if (!r.exited) {
        *reason = std::string("程序因") + SignalName(r.signal) + "而终止（信号 " +
                  std::to_string(r.signal) + "）";
        return V_RE;
    }
    if (robust) {
        if (r.status == 0) {
            *reason = "对错误的输入应以非零状态退出，实际为 0";
            return V_WA;
        }
        /* Where our own program leaves the file as it was, so must theirs. */
        bool ours_kept = ours.has_file == seeded_exists && (!seeded_exists || ours.output == seeded);
        if (ours_kept && (theirs.has_file != seeded_exists ||
                          (seeded_exists && theirs.output != seeded))) {
            *reason = seeded_exists ? "对错误的输入，输出文件应保持不变，却被改写"
                                    : "对错误的输入，不应创建输出文件";
            return V_WA;
        }
        return V_AC;
    }
    if (ours.has_file && !theirs.has_file) {
        *reason = "没有创建输出文件";
        return V_WA;
    }
    Verdict v = CompareOutputs(ours.output, theirs.output, reason, step);
    if (v == V_WA && seeded_exists && !seeded.empty()) {
        /* result.txt is appended to: its earlier text must stay. */
        std::string kept;
        int ignored = 0;
        if (ours.output.size() >= seeded.size() &&
            CompareOutputs(ours.output.substr(seeded.size()), theirs.output, &kept, &ignored) !=
                V_WA) {
            *reason = "输出文件被清空重写，应当追加写入（原有内容要保留）";
            return V_WA;
        }
    }
    if (v != V_AC) return v;
    if (r.status != ours.run.status) {
        *reason = "退出状态应为 " + std::to_string(ours.run.status) + "，实际为 " +
                  std::to_string(r.status);
        return V_WA;
    }
    return V_AC;
}
