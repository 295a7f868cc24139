/* sandbox_win.cpp -- one run of an untrusted program on Windows (see
 * sandbox.h), and the machine's few services.
 *
 * Each run is a process in a Job Object of its own: killed when the job's
 * handle closes, at most `processes` processes at once (one for a
 * student's program, which therefore cannot start another), the committed
 * memory of a process capped at twice the memory limit, the job's CPU time
 * capped a little past the time limit, and no access to the desktop's
 * clipboard, windows or settings. Peak memory and CPU time come from the
 * job's own accounting; wall time and the size of stdout and of the files
 * in the work folder are watched from outside. Windows has no namespaces:
 * the files a run can reach are those its user can reach, so the work
 * folder is fresh and lies in the temp folder, away from the class. */
#include "sandbox.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <io.h>

const char *const EXE_NAME = "main.exe";

static SRWLOCK the_lock = SRWLOCK_INIT;
static SRWLOCK spawn_lock = SRWLOCK_INIT;  /* one CreateProcess at a time:
                                              each inherits only its own handles */

void Lock() { AcquireSRWLockExclusive(&the_lock); }
void Unlock() { ReleaseSRWLockExclusive(&the_lock); }

const char *SignalName(int code) {
    switch ((unsigned)code) {
    case 0xC0000005u: return "段错误";      /* access violation */
    case 0xC000008Eu:
    case 0xC0000090u:
    case 0xC0000091u:
    case 0xC0000094u: return "浮点错误";    /* division by zero, integer or not */
    case 0xC00000FDu: return "栈溢出";
    case 0xC000001Du: return "非法指令";
    case 0xC0000409u: return "异常终止";    /* a failed check, abort() */
    case 0xC0000017u: return "内存不足";
    default: return "异常终止";
    }
}

/* The kit's launcher is Linux's alone. */
void SetLauncher(const std::string &) {}
int RunInside(int, char **) { return 125; }

/* Windows always has the Job Object. */
int SandboxWorks() { return 1; }

/* Appends arg to a command line, quoted as the C runtime reads it back. */
static void Quote(std::string *line, const std::string &arg) {
    if (!line->empty()) *line += ' ';
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
        *line += arg;
        return;
    }
    *line += '"';
    size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') { slashes++; continue; }
        if (c == '"') *line += std::string(2 * slashes + 1, '\\');
        else *line += std::string(slashes, '\\');
        slashes = 0;
        *line += c;
    }
    *line += std::string(2 * slashes, '\\') + '"';
}

/* The largest file directly in the work folder. */
static long long LargestFile(const std::string &work) {
    WIN32_FIND_DATAA f;
    HANDLE h = FindFirstFileA((work + "\\*").c_str(), &f);
    long long largest = 0;
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        long long size = ((long long)f.nFileSizeHigh << 32) | f.nFileSizeLow;
        if (size > largest) largest = size;
    } while (FindNextFileA(h, &f));
    FindClose(h);
    return largest;
}

static HANDLE OpenFor(const std::string &path, bool write) {
    return CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int RunLimited(const std::string &work, const std::vector<std::string> &argv,
               const std::string &stdin_path, const std::string &stdout_path,
               const std::string &stderr_path, const Limits &limits, int slot,
               int sandboxed, RunResult *out) {
    (void)slot;
    (void)sandboxed;
    memset(out, 0, sizeof *out);
    /* A crash ends the program with its exception code, with no dialog
     * waiting for a click: the error mode passes to the child. */
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    std::string line;
    std::string program = argv[0];
    if (program.compare(0, 2, "./") == 0) program = work + "\\" + program.substr(2);
    Quote(&line, program);
    for (size_t i = 1; i < argv.size(); i++) Quote(&line, argv[i]);

    HANDLE in = OpenFor(stdin_path.empty() ? "NUL" : stdin_path, false);
    HANDLE so = OpenFor(stdout_path, true);
    HANDLE se = OpenFor(stderr_path, true);
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (in == INVALID_HANDLE_VALUE || so == INVALID_HANDLE_VALUE || se == INVALID_HANDLE_VALUE ||
        job == nullptr) {
        if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
        if (so != INVALID_HANDLE_VALUE) CloseHandle(so);
        if (se != INVALID_HANDLE_VALUE) CloseHandle(se);
        if (job) CloseHandle(job);
        return 0;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limit;
    memset(&limit, 0, sizeof limit);
    limit.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_ACTIVE_PROCESS |
        JOB_OBJECT_LIMIT_JOB_TIME | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
    limit.BasicLimitInformation.ActiveProcessLimit = limits.processes > 0 ? limits.processes : 1;
    limit.BasicLimitInformation.PerJobUserTimeLimit.QuadPart =
        (LONGLONG)(limits.time_ms * 3 / 2 + 100) * 10000;
    if (limits.memory_kb > 0) {
        limit.BasicLimitInformation.LimitFlags |= JOB_OBJECT_LIMIT_PROCESS_MEMORY;
        limit.ProcessMemoryLimit = (SIZE_T)limits.memory_kb * 2 * 1024;
    }
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limit, sizeof limit);
    JOBOBJECT_BASIC_UI_RESTRICTIONS ui = {JOB_OBJECT_UILIMIT_DESKTOP | JOB_OBJECT_UILIMIT_DISPLAYSETTINGS |
                                          JOB_OBJECT_UILIMIT_EXITWINDOWS | JOB_OBJECT_UILIMIT_GLOBALATOMS |
                                          JOB_OBJECT_UILIMIT_HANDLES | JOB_OBJECT_UILIMIT_READCLIPBOARD |
                                          JOB_OBJECT_UILIMIT_SYSTEMPARAMETERS |
                                          JOB_OBJECT_UILIMIT_WRITECLIPBOARD};
    SetInformationJobObject(job, JobObjectBasicUIRestrictions, &ui, sizeof ui);

    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = so;
    si.hStdError = se;
    PROCESS_INFORMATION pi;
    memset(&pi, 0, sizeof pi);
    std::vector<char> command(line.begin(), line.end());
    command.push_back('\0');
    DWORD start = GetTickCount();
    AcquireSRWLockExclusive(&spawn_lock);
    for (HANDLE h : {in, so, se}) SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    BOOL made = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE,
                               CREATE_SUSPENDED | CREATE_NO_WINDOW | CREATE_BREAKAWAY_FROM_JOB,
                               nullptr, work.c_str(), &si, &pi);
    if (!made)  /* the kit itself runs in a job that forbids breaking away */
        made = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE,
                              CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, work.c_str(), &si, &pi);
    for (HANDLE h : {in, so, se}) SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
    ReleaseSRWLockExclusive(&spawn_lock);
    CloseHandle(in);
    CloseHandle(se);
    if (!made || !AssignProcessToJobObject(job, pi.hProcess)) {
        if (made) {
            TerminateProcess(pi.hProcess, 1);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
        CloseHandle(so);
        CloseHandle(job);
        return 0;
    }
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);

    long wall_limit = 2 * limits.time_ms + 1000;
    for (int polls = 0;; polls++) {
        if (WaitForSingleObject(pi.hProcess, polls < 50 ? 1 : 10) == WAIT_OBJECT_0) break;
        LARGE_INTEGER size;
        bool flood = limits.output_bytes > 0 &&
                     ((GetFileSizeEx(so, &size) && size.QuadPart > limits.output_bytes) ||
                      (polls % 10 == 0 && LargestFile(work) > limits.output_bytes));
        bool late = (long)(GetTickCount() - start) > wall_limit;
        if (flood || late) {
            if (flood) out->output_flood = 1;
            if (late) out->timed_out = 1;
            TerminateJobObject(job, 1);
            WaitForSingleObject(pi.hProcess, INFINITE);
            break;
        }
    }
    out->wall_ms = (long)(GetTickCount() - start);
    CloseHandle(so);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);

    JOBOBJECT_BASIC_AND_IO_ACCOUNTING_INFORMATION acct;
    memset(&acct, 0, sizeof acct);
    QueryInformationJobObject(job, JobObjectBasicAndIoAccountingInformation, &acct, sizeof acct,
                              nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION used;
    memset(&used, 0, sizeof used);
    QueryInformationJobObject(job, JobObjectExtendedLimitInformation, &used, sizeof used, nullptr);
    CloseHandle(job);
    out->started = 1;
    out->time_ms = (long)((acct.BasicInfo.TotalUserTime.QuadPart +
                           acct.BasicInfo.TotalKernelTime.QuadPart) / 10000);
    out->memory_kb = (long)(used.PeakProcessMemoryUsed / 1024);
    if (!out->timed_out && !out->output_flood && code < 0xC0000000u) {
        out->exited = 1;
        out->status = (int)code;
    } else {
        out->signal = out->timed_out || out->output_flood ? 0 : (int)code;
    }
    if (out->time_ms > limits.time_ms) out->timed_out = 1;
    if (!out->exited && out->signal == 0) out->signal = 1;
    return 1;
}

/* ============================ The machine ================================= */

std::string SelfPath() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return "";
    for (DWORD i = 0; i < n; i++)
        if (path[i] == '\\') path[i] = '/';
    return std::string(path, n);
}

int MakeDir(const std::string &path) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return 1;
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string MakeTempDir() {
    char tmp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof tmp, tmp);
    if (n == 0 || n >= sizeof tmp) return "";
    for (int k = 0; k < 100; k++) {
        char name[MAX_PATH + 64];
        snprintf(name, sizeof name, "%sgrader-%lu-%lu-%d", tmp, GetCurrentProcessId(), GetTickCount(), k);
        if (CreateDirectoryA(name, nullptr)) return name;
    }
    return "";
}

int IsExecutable(const std::string &path) {
    if (path.size() < 4) return 0;
    std::string ext = path.substr(path.size() - 4);
    for (char &c : ext) c = (char)tolower((unsigned char)c);
    DWORD a = GetFileAttributesA(path.c_str());
    return ext == ".exe" && a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeExecutable(const std::string &) {}

int IsLink(const std::string &path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

int Cores() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? (int)info.dwNumberOfProcessors : 1;
}

int ErrIsTerminal() { return _isatty(2); }

struct Thread {
    void (*work)(int, void *);
    void *context;
    int slot;
};

static DWORD WINAPI ThreadMain(LPVOID p) {
    Thread *t = (Thread *)p;
    t->work(t->slot, t->context);
    return 0;
}

void RunParallel(int jobs, void (*work)(int slot, void *context), void *context) {
    std::vector<Thread> threads(jobs);
    std::vector<HANDLE> handles;
    for (int j = 0; j < jobs; j++) {
        threads[j] = {work, context, j};
        HANDLE h = CreateThread(nullptr, 0, ThreadMain, &threads[j], 0, nullptr);
        if (h) handles.push_back(h);
        else ThreadMain(&threads[j]);
    }
    for (HANDLE h : handles) {
        WaitForSingleObject(h, INFINITE);
        CloseHandle(h);
    }
}

int MoveOver(const std::string &from, const std::string &to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) ? 1 : 0;
}
