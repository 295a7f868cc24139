/* main.cpp -- grader: grades a class's submissions of one of the project's
 * programs against our own program, case by case, each run in a sandbox.
 *
 *   grader <program> <class-folder> [options]      (see TEXT_USAGE)
 *
 * In order: read the command line; make the cases (our examples, the
 * teacher's own inputs) and run our own program on each for the expected
 * output; then grade the students in parallel, each compiled and run in a
 * fresh work folder, each one's results kept on disk as it finishes (so an
 * interrupted grading resumes), and the reports written anew after each. */
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "cases.h"
#include "compare_parts.h"
#include "grade.h"
#include "sandbox.h"
#include "texts.h"

int RunInside(int argc, char **argv);

/* The programs of the registry (programs.gen.h), each with its own parts
 * of lab/ where it has them. */
static const Program PROGRAMS[] = {
#define DSD_PROGRAM(name, Name, output, input, input_file, compares, makes) \
    {#name, output, input, input_file, DSD_WHEN_##compares(Name##Comparison) DSD_UNLESS_##compares(nullptr), \
     DSD_WHEN_##makes(Make##Name##Case) DSD_UNLESS_##makes(nullptr)},
    DSD_EACH_PROGRAM
#undef DSD_PROGRAM
};

static std::string work_root;  /* the parent of every work folder */

/* The results' folder in the class folder, 评测结果, in the file system's
 * own encoding: UTF-8 on Linux, the ANSI code page (GBK) on Windows. */
#ifdef _WIN32
static const char OUT_FOLDER[] = "\xc6\xc0\xb2\xe2\xbd\xe1\xb9\xfb";
#else
static const char OUT_FOLDER[] = "\xe8\xaf\x84\xe6\xb5\x8b\xe7\xbb\x93\xe6\x9e\x9c";
#endif

/* ============================ Options ===================================== */

struct Options {
    const Program *program = nullptr;
    const struct CompareProgram *comparison = nullptr;  /* the program's, or the plain one */
    std::string class_dir;
    std::string cases_dir;
    std::string out_dir;
    int cases = 0;
    unsigned seed = 1;
    Limits limits = {1000, 256 * 1024, 16L * 1024 * 1024, 32};
    int jobs = 0;
    int public_only = 0;
    int strict = 0;
    std::string cc;      /* --cc: the C compiler; g++ is looked for beside it */
};

/* ProgramNames(): the programs' names, "a、b 或 c" (GBK), for the usage
 * and the refusal of an unknown program. */
static std::string ProgramNames() {
    std::string names;
    size_t count = sizeof PROGRAMS / sizeof PROGRAMS[0];
    for (size_t k = 0; k < count; k++) {
        if (k > 0) names += k + 1 == count ? TEXT_OR : TEXT_AND;
        names += PROGRAMS[k].name;
    }
    return names;
}

/* Fails the command line: one line, exit 2. */
static int Usage(const char *what) {
    fprintf(stderr, TEXT_BAD_USAGE, what);
    return 2;
}

/* "1s", "500ms", "2.5s" in milliseconds; -1 when not a time. */
static long ParseTime(const char *s) {
    char *end = nullptr;
    double v = strtod(s, &end);
    if (end == s || v <= 0) return -1;
    if (strcmp(end, "ms") == 0) return (long)v;
    if (strcmp(end, "s") == 0 || *end == '\0') return (long)(v * 1000);
    return -1;
}

/* "256M", "1G", "512K" in kilobytes; -1 when not a size. */
static long ParseSize(const char *s) {
    char *end = nullptr;
    double v = strtod(s, &end);
    if (end == s || v <= 0) return -1;
    if (strcmp(end, "K") == 0 || strcmp(end, "k") == 0) return (long)v;
    if (strcmp(end, "M") == 0 || strcmp(end, "m") == 0 || *end == '\0') return (long)(v * 1024);
    if (strcmp(end, "G") == 0 || strcmp(end, "g") == 0) return (long)(v * 1024 * 1024);
    return -1;
}

/* Reads argv into *o; returns 0 for a well-formed command, else the exit
 * status (2, or 0 after --help). */
static int ParseOptions(int argc, char **argv, Options *o) {
    std::vector<const char *> plain;
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (strcmp(a, "--help") == 0 || strcmp(a, "-h") == 0 || strcmp(a, "/?") == 0) {
            fputs(TEXT_USAGE_HEAD, stdout);
            fputs(ProgramNames().c_str(), stdout);
            fputs(TEXT_USAGE, stdout);
            return -1;
        }
        if (strcmp(a, "--public") == 0) { o->public_only = 1; continue; }
        if (strcmp(a, "--strict") == 0) { o->strict = 1; continue; }
        if (strncmp(a, "--", 2) != 0) { plain.push_back(a); continue; }
        if (value == nullptr) return Usage(a);
        i++;
        long n;
        char *end = nullptr;
        if (strcmp(a, "--cases") == 0) {
            n = strtol(value, &end, 10);
            if (*end || n < 0 || n > 1000) return Usage(a);
            o->cases = (int)n;
        } else if (strcmp(a, "--seed") == 0) {
            unsigned long s = strtoul(value, &end, 10);
            if (*end || *value == '-' || s > 4294967295UL) return Usage(a);
            o->seed = (unsigned)s;
        } else if (strcmp(a, "--cases-dir") == 0) {
            o->cases_dir = value;
        } else if (strcmp(a, "--cc") == 0) {
            o->cc = value;
        } else if (strcmp(a, "--out") == 0) {
            o->out_dir = value;
        } else if (strcmp(a, "--time-limit") == 0) {
            if ((n = ParseTime(value)) <= 0) return Usage(a);
            o->limits.time_ms = n;
        } else if (strcmp(a, "--memory-limit") == 0) {
            if ((n = ParseSize(value)) <= 0) return Usage(a);
            o->limits.memory_kb = n;
        } else if (strcmp(a, "--output-limit") == 0) {
            if ((n = ParseSize(value)) <= 0) return Usage(a);
            o->limits.output_bytes = n * 1024;
        } else if (strcmp(a, "--jobs") == 0) {
            n = strtol(value, &end, 10);
            if (*end || n < 1 || n > 64) return Usage(a);
            o->jobs = (int)n;
        } else {
            return Usage(a);
        }
    }
    if (plain.size() != 2) return Usage(plain.size() < 2 ? "<program> <class-folder>" : plain[2]);
    for (const Program &p : PROGRAMS)
        if (strcmp(p.name, plain[0]) == 0) o->program = &p;
    if (o->program == nullptr) {
        fprintf(stderr, TEXT_UNKNOWN_PROGRAM, plain[0], ProgramNames().c_str());
        return 2;
    }
    o->comparison = o->program->comparison ? o->program->comparison()
                                           : PlainComparison(o->program->name, o->program->output);
    o->class_dir = plain[1];
    while (o->class_dir.size() > 1 && o->class_dir.back() == '/') o->class_dir.pop_back();
    if (o->out_dir.empty()) o->out_dir = o->class_dir + "/" + OUT_FOLDER;
    if (o->jobs == 0) o->jobs = Cores();
    return 0;
}

/* ============================ Files ======================================= */

static bool ReadFile(const std::string &path, std::string *out, long cap = 1L << 30) {
    FILE *f = fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    out->clear();
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0 && (long)out->size() <= cap) out->append(buf, n);
    fclose(f);
    return true;
}

static bool WriteFile(const std::string &path, const std::string &bytes) {
    FILE *f = fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

static bool IsDir(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

/* The names in a folder, sorted, without . and .. */
static std::vector<std::string> List(const std::string &dir) {
    std::vector<std::string> names;
    DIR *d = opendir(dir.c_str());
    if (d == nullptr) return names;
    for (struct dirent *e = readdir(d); e != nullptr; e = readdir(d))
        if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

/* Removes a folder and everything in it (symbolic links are not followed). */
static void RemoveTree(const std::string &path) {
    if (!IsLink(path) && IsDir(path)) {
        chmod(path.c_str(), 0700);
        for (const std::string &n : List(path)) RemoveTree(path + "/" + n);
        rmdir(path.c_str());
    } else {
        remove(path.c_str());
    }
}

/* A fresh, empty folder. */
static bool FreshDir(const std::string &path) {
    RemoveTree(path);
    return MakeDir(path) && List(path).empty();
}

static std::string DirOf(const std::string &path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

static std::string SelfDir() {
    std::string self = SelfPath();
    return self.empty() ? "." : DirOf(self);
}

static bool EndsWith(const std::string &s, const char *tail) {
    size_t n = strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

/* FNV-1a, 64 bits: the fingerprint of a student's files and the cases. */
static unsigned long long Hash(unsigned long long h, const std::string &bytes) {
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ULL;
    return (h ^ 0xff) * 1099511628211ULL;
}

/* ============================ Running one case ============================ */

/* RunCase(p, c, exe, work, slot, limits, sandboxed, side): runs the
 * executable exe (copied in as ./main) on case c in the fresh folder work,
 * and fills *side with how it ended and the output it left. */
static int RunCase(const Program &p, const TestCase &c, const std::string &exe,
                   const std::string &work, int slot, const Limits &limits, int sandboxed,
                   Outcome *side) {
    std::string dir = work + "/w";
    if (!FreshDir(dir)) return 0;
    std::string binary, main = dir + "/" + EXE_NAME;
    if (!ReadFile(exe, &binary) || !WriteFile(main, binary)) return 0;
    MakeExecutable(main);
    std::vector<std::string> argv = {std::string("./") + EXE_NAME};
    std::string stdin_path;
    if (p.input == 'd') {
        WriteFile(dir + "/" + p.input_file, c.input);
        argv.push_back(p.input_file);
    } else if (p.input == 'c' || c.keyboard) {
        stdin_path = work + "/stdin";
        WriteFile(stdin_path, c.input);
    } else {
        for (size_t i = 0; i < c.input.size();) {
            while (i < c.input.size() && strchr(" \t\r\n", c.input[i])) i++;
            size_t start = i;
            while (i < c.input.size() && !strchr(" \t\r\n", c.input[i])) i++;
            if (i > start) argv.push_back(c.input.substr(start, i - start));
        }
    }
    if (c.seed_exists && p.output) WriteFile(dir + "/" + p.output, c.seed);
    std::string out = work + "/stdout", err = work + "/stderr";
    RunLimited(dir, argv, stdin_path, out, err, limits, slot, sandboxed, &side->run);
    if (!side->run.started) return 0;
    if (p.output) side->has_file = ReadFile(dir + "/" + p.output, &side->output, limits.output_bytes);
    else side->has_file = ReadFile(out, &side->output, limits.output_bytes);
    return 1;
}

/* ============================ The cases =================================== */

/* Our examples' folder: beside the kit (the Windows zip), in the
 * installed documentation, or in the source tree of this build. */
static std::string ExamplesDir(const char *program) {
    std::string self = SelfDir();
    const std::string candidates[] = {self + "/examples/", self + "/../share/doc/dsdemos/examples/",
                                      std::string(DSD_SOURCE_DIR) + "/examples/"};
    for (const std::string &c : candidates)
        if (IsDir(c + program)) return c + program;
    return "";
}

/* The browser edition: beside the kit (the Windows zip), in the installed
 * documentation, or where this source tree builds it; empty when none. */
static std::string WebDir() {
    std::string self = SelfDir();
    const std::string candidates[] = {self + "/web", self + "/../share/doc/dsdemos/web",
                                      std::string(DSD_SOURCE_DIR) + "/build/web"};
    for (const std::string &c : candidates) {
        struct stat st;
        if (stat((c + "/index.html").c_str(), &st) == 0) return c;
    }
    return "";
}

/* CopyTree(from, to): the files of a folder, its subfolders' too, except
 * the browser checks' screenshots. */
static void CopyTree(const std::string &from, const std::string &to) {
    MakeDir(to);
    for (const std::string &name : List(from)) {
        std::string a = from + "/" + name, b = to + "/" + name, bytes;
        if (IsDir(a)) {
            if (name != "shots") CopyTree(a, b);
        } else if (ReadFile(a, &bytes)) {
            WriteFile(b, bytes);
        }
    }
}

/* Our own program: beside the kit, or in its own folder of this build. */
static std::string OursPath(const char *program) {
    std::string self = SelfDir();
    const std::string exe = std::string(program) + (EXE_NAME[4] ? ".exe" : "");
    const std::string candidates[] = {self + "/" + exe, self + "/../" + program + "/" + exe};
    for (const std::string &c : candidates)
        if (IsExecutable(c)) return c;
    return "";
}

/* RunOurs(p, ours, work, sandboxed, trusted, c): runs our own program on
 * case c for its expected output, c->ours. Where it writes an output file,
 * it runs first on a fresh folder and then again over that run's file, as
 * a student's earlier run leaves it: where the second run keeps the first
 * one's text and adds to it, the program appends, and the case keeps that
 * text as its seed (c->seed), put in place before every run (a student's
 * run too); otherwise the first run stands. Returns 0 when ours cannot be
 * run. */
static int RunOurs(const Program &p, const std::string &ours, const std::string &work, int sandboxed,
                   const Limits &trusted, TestCase *c) {
    c->seed.clear();
    c->seed_exists = 0;
    if (!RunCase(p, *c, ours, work, 0, trusted, sandboxed, &c->ours)) return 0;
    if (!p.output || !c->ours.has_file) return 1;
    Outcome first = c->ours;
    c->seed = first.output;
    c->seed_exists = 1;
    if (!RunCase(p, *c, ours, work, 0, trusted, sandboxed, &c->ours)) return 0;
    if (c->ours.has_file && c->ours.output.size() > first.output.size() &&
        c->ours.output.compare(0, first.output.size(), first.output) == 0)
        return 1;
    c->seed.clear();
    c->seed_exists = 0;
    c->ours = first;
    return 1;
}

/* AddCase(o, ours, work, sandboxed, c, g): runs our own program on the
 * new case c (RunOurs, within the limits we trust our own program with)
 * and adds it to g. A case that ours does not end with status 0 is a case
 * of bad input: it goes to the group 健壮性, where only a clean refusal is
 * asked of a student. Returns 0 when ours cannot be run. */
static int AddCase(const Options &o, const std::string &ours, const std::string &work, int sandboxed,
                   TestCase *c, Grading *g) {
    const Limits trusted = {10000, 1024 * 1024, o.limits.output_bytes, 64};
    c->robust = 0;
    if (!RunOurs(*o.program, ours, work, sandboxed, trusted, c)) return 0;
    if (!c->ours.run.exited || c->ours.run.status != 0) {
        c->robust = 1;
        c->group = "健壮性";
    }
    g->cases.push_back(*c);
    return 1;
}

/* AddCases(dir, group, is_public, o, ours, work, g): a case for each file
 * of dir, expected output made by our own program. */
static int AddCases(const std::string &dir, const char *group, int is_public, const Options &o,
                    const std::string &ours, const std::string &work, int sandboxed,
                    Grading *g) {
    for (const std::string &name : List(dir)) {
        TestCase c;
        if (!ReadFile(dir + "/" + name, &c.input) || IsDir(dir + "/" + name)) continue;
        c.id = EndsWith(name, ".txt") ? name.substr(0, name.size() - 4) : name;
        c.group = group;
        c.is_public = is_public;
        c.keyboard = o.program->input == 'a' && name.compare(0, 8, "keyboard") == 0;
        if (!AddCase(o, ours, work, sandboxed, &c, g)) return 0;
    }
    return 1;
}

/* AddSeeded(o, ours, work, sandboxed, g): o.cases cases from the maker of
 * the page's 换一题, the k-th of size k mod 3 (small, medium, large) and
 * seed o.seed + k: the same cases on every machine. They are hidden: a
 * report with --public shows their verdicts, not their inputs. */
static int AddSeeded(const Options &o, const std::string &ours, const std::string &work,
                     int sandboxed, Grading *g) {
    static const char *const SIZES[] = {"small", "medium", "large"};
    for (int k = 0; k < o.cases; k++) {
        struct Case made;
        int size = k % 3;
        uint32_t seed = (uint32_t)(o.seed + (unsigned)k);
        if (!o.program->make) return 1;  /* no maker: the examples alone */
        if (!o.program->make(size, seed, &made)) return 0;
        TestCase c;
        c.exercise = std::string(SIZES[size]) + "-" + std::to_string(seed);
        c.id = "seed-" + c.exercise;
        c.group = "随机";
        c.is_public = 0;
        c.keyboard = 0;
        c.input.assign((const char *)made.bytes, made.length);
        /* The page's inputs end without a newline; as a file each ends
         * its last line, the form on which every reading agrees. */
        if (o.program->input != 'a' && !c.input.empty() && c.input.back() != '\n') c.input += '\n';
        if (!AddCase(o, ours, work, sandboxed, &c, g)) return 0;
    }
    return 1;
}

/* ============================ One student ================================= */

static const char *const WINDOWS_ONLY[] = {"conio.h", "windows.h", "system(\"pause\")"};

/* Compiler(cc, cpp): the compiler to run: g++ for C++, gcc for C; those
 * of /usr/bin on Linux, those on PATH on Windows, or, with --cc, the ones
 * in the folder of the compiler it names (Dev-C++'s MinGW, for one). */
static std::string Compiler(const std::string &cc, bool cpp) {
    const char *name = cpp ? "g++" : "gcc";
    std::string ext = EXE_NAME[4] ? ".exe" : "";
    if (!cc.empty()) return DirOf(cc) + "/" + name + ext;
    return EXE_NAME[4] ? std::string(name) + ext : std::string("/usr/bin/") + name;
}

/* Compile(folder, work, slot, sandboxed, s, reason): compiles the student's
 * sources (or takes the one executable) into work/main. Returns 1 when
 * there is a main to run; otherwise sets *reason. */
static int Compile(const std::string &folder, const std::string &work, const std::string &cc,
                   int slot, int sandboxed, Student *s, std::string *reason) {
    std::string dir = work + "/c";
    FreshDir(dir);
    std::vector<std::string> sources;
    std::string executable;
    bool cpp = false;
    for (const std::string &name : List(folder)) {
        std::string path = folder + "/" + name, bytes;
        if (IsDir(path)) continue;
        bool source = EndsWith(name, ".c") || EndsWith(name, ".cpp") || EndsWith(name, ".cc");
        bool header = EndsWith(name, ".h") || EndsWith(name, ".hpp");
        if (source || header) {
            ReadFile(path, &bytes);
            WriteFile(dir + "/" + name, bytes);
            for (const char *w : WINDOWS_ONLY)
                if (bytes.find(w) != std::string::npos && s->hint.find(w) == std::string::npos)
                    s->hint += std::string(s->hint.empty() ? "" : "；") + "用了 Windows 才有的 " + w +
                               "，在 Linux 上评测会出错或无效，请删去";
        }
        if (source) {
            sources.push_back(name);
            if (!EndsWith(name, ".c")) cpp = true;
        } else if (!header && IsExecutable(path)) {
            executable = path;
        }
    }
    if (sources.empty()) {
        if (executable.empty()) {
            *reason = "文件夹里没有源文件（.c 或 .cpp），也没有可执行文件";
            return 0;
        }
        std::string bytes;
        ReadFile(executable, &bytes);
        WriteFile(work + "/" + EXE_NAME, bytes);
        return 1;
    }
    std::vector<std::string> argv = {Compiler(cc, cpp), cpp ? "-std=c++17" : "-std=c11", "-O2",
                                     "-o", EXE_NAME};
    argv.insert(argv.end(), sources.begin(), sources.end());
    argv.push_back("-lm");
    Limits compile = {10000, 1024 * 1024, 64L * 1024 * 1024, 32};
    RunResult r;
    std::string out = work + "/cc.out", err = work + "/cc.err";
    RunLimited(dir, argv, "", out, err, compile, slot, sandboxed, &r);
    std::string bytes, text;
    if (r.started && r.exited && r.status == 0 && ReadFile(dir + "/" + EXE_NAME, &bytes)) {
        WriteFile(work + "/" + EXE_NAME, bytes);
        return 1;
    }
    ReadFile(err, &text, 4096);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size() && lines.size() < 4) {
        size_t nl = text.find('\n', start);
        if (nl == std::string::npos) nl = text.size();
        lines.push_back(text.substr(start, nl - start < 160 ? nl - start : 160));
        start = nl + 1;
    }
    *reason = r.timed_out ? "编译超过 10 秒仍未完成" : "编译器报告：";
    if (!r.timed_out)
        for (size_t i = 0; i < lines.size(); i++) *reason += (i ? " ⏎ " : "") + lines[i];
    *reason = ToUtf8(*reason);
    if (!s->hint.empty()) *reason += "（" + s->hint + "）";
    return 0;
}

/* The record of a student on disk: the fingerprint on the first line,
 * then one line per case. */
static std::string RecordPath(const Options &o, const std::string &folder) {
    std::string hex;
    char b[3];
    for (unsigned char c : folder) { snprintf(b, sizeof b, "%02x", c); hex += b; }
    return o.out_dir + "/.state/" + hex + ".rec";
}

static std::string Flat(std::string s) {
    for (char &c : s)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return s;
}

/* Hex(bytes): bytes as two hex digits each, for a record's line. */
static std::string Hex(const std::string &bytes) {
    std::string t;
    char b[3];
    for (unsigned char c : bytes) { snprintf(b, sizeof b, "%02x", c); t += b; }
    return t;
}

/* Unhex(text, bytes): reads Hex's text back into *bytes; 0 when it is not
 * Hex's. */
static int Unhex(const std::string &text, std::string *bytes) {
    if (text.size() % 2) return 0;
    bytes->clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        unsigned v = 0;
        if (sscanf(text.c_str() + i, "%2x", &v) != 1 || !isxdigit((unsigned char)text[i]) ||
            !isxdigit((unsigned char)text[i + 1]))
            return 0;
        bytes->push_back((char)v);
    }
    return 1;
}

static void SaveRecord(const std::string &path, unsigned long long key, const Student &s) {
    std::string text = std::to_string(key) + "\n" + Flat(s.hint) + "\n" + (s.compiled ? "1" : "0") + "\n";
    for (const CaseResult &r : s.results)
        text += std::string(VerdictCode(r.verdict)) + "\t" + std::to_string(r.step) + "\t" +
                std::to_string(r.time_ms) + "\t" + std::to_string(r.memory_kb) + "\t" +
                "m" + Hex(r.mine) + "\t" + Flat(r.reason) + "\n";
    WriteFile(path + ".new", text);
    MoveOver(path + ".new", path);
}

static bool LoadRecord(const std::string &path, unsigned long long key, size_t cases, Student *s) {
    std::string text;
    if (!ReadFile(path, &text)) return false;
    std::vector<std::string> lines;
    size_t start = 0, nl;
    while ((nl = text.find('\n', start)) != std::string::npos) {
        lines.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    if (lines.size() != cases + 3 || lines[0] != std::to_string(key)) return false;
    s->hint = lines[1];
    s->compiled = lines[2] == "1";
    s->results.clear();
    for (size_t i = 3; i < lines.size(); i++) {
        CaseResult r;
        char code[8];
        int used = 0;
        if (sscanf(lines[i].c_str(), "%7[A-Z]\t%d\t%ld\t%ld\t%n", code, &r.step, &r.time_ms,
                   &r.memory_kb, &used) != 4) {
            s->results.clear();
            return false;
        }
        int v = 0;
        while (v < V_COUNT && strcmp(VerdictCode((Verdict)v), code) != 0) v++;
        if (v == V_COUNT) { s->results.clear(); return false; }
        r.verdict = (Verdict)v;
        /* "m" and the output in hex: never empty, so the tab before it is one */
        size_t tab = lines[i].find('\t', used);
        if (tab == std::string::npos || lines[i][used] != 'm' ||
            !Unhex(lines[i].substr(used + 1, tab - used - 1), &r.mine)) {
            s->results.clear();
            return false;
        }
        r.reason = lines[i].substr(tab + 1);
        s->results.push_back(r);
    }
    return true;
}

/* GradeStudent(o, g, index, slot, sandboxed, key): compiles and runs one
 * student on every case. */
static void GradeStudent(const Options &o, Grading *g, size_t index, int slot, int sandboxed) {
    Student &s = g->students[index];
    std::string work = work_root + "/" + std::to_string(slot);
    FreshDir(work);
    std::string reason;
    s.compiled = Compile(o.class_dir + "/" + s.folder, work, o.cc, slot, sandboxed, &s, &reason);
    for (const TestCase &c : g->cases) {
        CaseResult r = {V_CE, reason, 0, 0, 0, ""};
        Outcome theirs;
        if (s.compiled && RunCase(*o.program, c, work + "/" + EXE_NAME, work, slot, o.limits, sandboxed,
                                  &theirs)) {
            r.verdict = JudgeCase(o.comparison, c.ours, theirs, c.robust, c.seed, c.seed_exists, o.limits,
                                  &r.reason, &r.step);
            r.time_ms = theirs.run.time_ms;
            r.memory_kb = theirs.run.memory_kb;
            if (r.verdict != V_AC && theirs.output.size() <= 32 * 1024) r.mine = theirs.output;
        } else if (s.compiled) {
            r.verdict = V_RE;
            r.reason = "程序无法启动";
        }
        s.results.push_back(r);
    }
    RemoveTree(work);
}

/* What the parallel graders share; finished and the reports under Lock(). */
struct Shared {
    const Options *o;
    Grading *g;
    int sandboxed;
    unsigned long long common;     /* the fingerprint of the cases and limits */
    std::atomic<size_t> next;      /* the next student to take */
    size_t finished;
    int terminal;
    time_t began;
};

/* Worker(slot, shared): takes the students one after another; grades each
 * one whose files or cases changed since its kept record, keeps the new
 * record, and writes the reports anew. */
static void Worker(int slot, void *context) {
    Shared &sh = *(Shared *)context;
    const Options &o = *sh.o;
    Grading &g = *sh.g;
    for (size_t i = sh.next++; i < g.students.size(); i = sh.next++) {
        Student &s = g.students[i];
        std::string folder = o.class_dir + "/" + s.folder;
        unsigned long long key = sh.common;
        for (const std::string &n : List(folder)) {
            std::string bytes;
            if (!IsDir(folder + "/" + n)) ReadFile(folder + "/" + n, &bytes);
            key = Hash(Hash(key, n), bytes);
        }
        std::string record = RecordPath(o, s.folder);
        if (!LoadRecord(record, key, g.cases.size(), &s)) {
            if (sh.terminal) {
                Lock();
                long left = sh.finished ? (long)(time(nullptr) - sh.began) *
                                              (long)(g.students.size() - sh.finished) / (long)sh.finished
                                        : 0;
                fprintf(stderr, TEXT_PROGRESS, (int)sh.finished, (int)g.students.size(),
                        s.folder.c_str(), left);
                Unlock();
            }
            GradeStudent(o, &g, i, slot, sh.sandboxed);
            SaveRecord(record, key, s);
        }
        Lock();
        s.done = 1;
        sh.finished++;
        WriteReports(g, o.out_dir);
        Unlock();
    }
}

/* ============================ main ======================================== */

static int Grade(const Options &o);

int main(int argc, char **argv) {
    if (argc > 1 && strcmp(argv[1], "--inside") == 0) return RunInside(argc, argv);
    Options o;
    int bad = ParseOptions(argc, argv, &o);
    if (bad) return bad < 0 ? 0 : bad;
    if (!IsDir(o.class_dir)) {
        fprintf(stderr, TEXT_NO_CLASS, o.class_dir.c_str());
        return 1;
    }
    /* The work folders: a fresh folder of the system's temp folder that the
     * slot users may pass through (the class and results folders may lie
     * behind folders closed to them), with a copy of the kit as launcher. */
    work_root = MakeTempDir();
    std::string self, launcher = work_root + "/launcher" + (EXE_NAME[4] ? ".exe" : "");
    if (work_root.empty() || !ReadFile(SelfPath(), &self) || !WriteFile(launcher, self)) {
        fprintf(stderr, TEXT_NO_OUT, work_root.c_str());
        return 1;
    }
    MakeExecutable(launcher);
    SetLauncher(launcher);
    int status = Grade(o);
    RemoveTree(work_root);
    return status;
}

/* Grade(o): the grading itself, once the work folders are made; returns
 * the exit status. */
static int Grade(const Options &o) {
    int sandboxed = SandboxWorks();
    Grading g;
    g.program = o.program;
    g.seed = o.seed;
    g.public_only = o.public_only;
    if (!sandboxed) {
        if (o.strict) {
            fputs(TEXT_NO_SANDBOX_STRICT, stderr);
            return 1;
        }
        fputs(TEXT_NO_SANDBOX, stderr);
        g.sandbox_note = "本机无法建立 bubblewrap 沙箱，只在资源限制下运行";
    }
    std::string ours = OursPath(o.program->name);
    std::string examples = ExamplesDir(o.program->name);
    if (ours.empty() || examples.empty()) {
        fprintf(stderr, TEXT_NO_OURS, o.program->name);
        return 1;
    }
    MakeDir(o.out_dir);
    MakeDir(o.out_dir + "/.state");
    if (!IsDir(o.out_dir + "/.state")) {
        fprintf(stderr, TEXT_NO_OUT, o.out_dir.c_str());
        return 1;
    }
    /* The page beside the report, for the links of its failing cases. */
    std::string web = WebDir();
    if (!web.empty()) CopyTree(web, o.out_dir + "/web");
    std::string work = work_root + "/ours";
    FreshDir(work);
    if (!AddCases(examples, "公开", 1, o, ours, work, sandboxed, &g) ||
        (!o.cases_dir.empty() && !AddCases(o.cases_dir, "教师", 1, o, ours, work, sandboxed, &g)) ||
        !AddSeeded(o, ours, work, sandboxed, &g)) {
        fprintf(stderr, TEXT_OURS_FAILED, o.program->name);
        return 1;
    }
    RemoveTree(work);

    /* The students: every subfolder but the results' own and hidden ones. */
    std::string out_name = o.out_dir.substr(o.out_dir.rfind('/') + 1);
    for (const std::string &name : List(o.class_dir)) {
        if (name[0] == '.' || !IsDir(o.class_dir + "/" + name)) continue;
        if (DirOf(o.out_dir) == o.class_dir && name == out_name) continue;
        Student s;
        s.folder = name;
        s.name = ToUtf8(name);
        s.compiled = 0;
        s.done = 0;
        g.students.push_back(s);
    }

    /* The fingerprint of the cases and limits, shared by every student. */
    /* (the records' form: a case's line holds the student's output) */
    unsigned long long common = Hash(1469598103934665603ULL, "mine");
    for (const TestCase &c : g.cases) common = Hash(Hash(common, c.id), c.input);
    common = Hash(common, std::to_string(o.limits.time_ms) + " " + std::to_string(o.limits.memory_kb) +
                              " " + std::to_string(o.limits.output_bytes) + o.program->name);

    Shared shared = {&o, &g, sandboxed, common, {0}, 0, ErrIsTerminal(), time(nullptr)};
    int jobs = o.jobs < (int)g.students.size() ? o.jobs : (int)g.students.size();
    RunParallel(jobs, Worker, &shared);
    bool terminal = shared.terminal;
    if (!WriteReports(g, o.out_dir)) {
        fprintf(stderr, TEXT_NO_OUT, o.out_dir.c_str());
        return 1;
    }
    if (terminal) fputs("\r\x1b[K", stderr);
    fprintf(stdout, TEXT_DONE, (int)g.students.size(), (int)g.cases.size(), o.out_dir.c_str());
    return 0;
}
