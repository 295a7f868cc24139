/* judge.cpp -- verdicts and reasons (see judge.h).
 *
 * The output files are compared by the comparison the page's 对照 makes
 * (lab/compare.h): its three verdicts are 答案正确, 格式错误 (its sentence
 * of each difference of form) and 答案错误 (its sentence at the first
 * differing step). The run's own faults come first, in the order a judge
 * names them. */
#include "judge.h"

#include <cstdio>
#include <cstring>

#include "compare_parts.h"
#include "gbk.h"

static const char *const CODES[V_COUNT] = {"AC", "PE", "WA", "TLE", "MLE", "OLE", "RE", "CE"};
static const char *const NAMES[V_COUNT] = {"答案正确", "格式错误", "答案错误", "运行超时",
                                           "内存超限", "输出超限", "运行错误", "编译错误"};

const char *VerdictCode(Verdict v) { return CODES[v]; }
const char *VerdictName(Verdict v) { return NAMES[v]; }

/* ============================ Encodings =================================== */

static bool IsUtf8(const std::string &s) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = s[i];
        int more = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (more < 0) return false;
        for (int k = 1; k <= more; k++)
            if (i + k >= s.size() || ((unsigned char)s[i + k] >> 6) != 2) return false;
        i += more + 1;
    }
    return true;
}

/* Appends code point u as UTF-8. */
static void PutUtf8(std::string *out, unsigned u) {
    if (u < 0x80) { *out += (char)u; return; }
    if (u < 0x800) { *out += (char)(0xc0 | u >> 6); }
    else { *out += (char)(0xe0 | u >> 12); *out += (char)(0x80 | ((u >> 6) & 0x3f)); }
    *out += (char)(0x80 | (u & 0x3f));
}

std::string ToUtf8(const std::string &bytes) {
    if (IsUtf8(bytes)) return bytes;
    std::string out;
    for (size_t i = 0; i < bytes.size(); i++) {
        unsigned char c = bytes[i];
        unsigned char d = i + 1 < bytes.size() ? bytes[i + 1] : 0;
        unsigned u = 0xfffd;
        if (c < 0x80) u = c;
        else if (c >= 0x81 && c <= 0xfe && d >= 0x40 && d <= 0xfe && d != 0x7f) {
            u = kGbk[(c - 0x81) * 191 + (d - 0x40)];
            if (u == 0) u = 0xfffd;
            i++;
        }
        PutUtf8(&out, u);
    }
    return out;
}

/* ============================ The comparison ============================== */

Verdict CompareOutputs(const struct CompareProgram *program, const std::string &ours, const std::string &theirs,
                       std::string *reason, int *step) {
    struct Bytes a = {(const unsigned char *)ours.data(), ours.size()};
    struct Bytes b = {(const unsigned char *)theirs.data(), theirs.size()};
    static thread_local struct Compared c;
    CompareOutputs(program, a, b, 0, &c);
    *step = c.step;
    reason->assign(c.reason);
    if (c.verdict == COMPARE_SAME) return V_AC;
    if (c.verdict == COMPARE_FORM) {
        reason->clear();
        for (int i = 0; i < c.note_count; i++) *reason += (i ? "；" : "") + std::string(c.notes[i]);
        if (reason->empty()) reason->assign(c.reason);
        return V_PE;
    }
    return V_WA;
}

/* ============================ The verdict ================================= */

Verdict JudgeCase(const struct CompareProgram *program, const Outcome &ours, const Outcome &theirs, int robust,
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
    if (r.output_flood) {
        *reason = "输出超过 " + std::to_string(limits.output_bytes / 1024) + " KB";
        return V_OLE;
    }
    if (!r.exited) {
        char code[16];
        bool exception = r.signal < 0 || r.signal > 255;  /* a Windows exception code */
        snprintf(code, sizeof code, exception ? "0x%08X" : "%d", (unsigned)r.signal);
        *reason = std::string("程序因") + SignalName(r.signal) + "而终止（" +
                  (exception ? "异常代码 " : "信号 ") + code + "）";
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
    Verdict v = CompareOutputs(program, ours.output, theirs.output, reason, step);
    if (v == V_WA && seeded_exists && !seeded.empty()) {
        /* An output file that ours appends to: its earlier text must stay. */
        std::string kept;
        int ignored = 0;
        if (ours.output.size() >= seeded.size() &&
            CompareOutputs(program, ours.output.substr(seeded.size()), theirs.output, &kept,
                           &ignored) !=
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
