/* sandbox.h -- one run of an untrusted program, inside limits.
 *
 * A run is a command in a fresh work folder. On Linux it goes into a
 * bubblewrap sandbox: no network, its own process IDs, only its work folder
 * writable (seen as /w), the system's /usr read-only, nothing else of the
 * machine (no /etc, no /home, no class folder, no kit state). The limits of
 * CPU time, address space, file size and processes are set before exec;
 * wall time and the size of stdout are watched from outside, and the peak
 * memory comes from wait4's usage. When the kit runs as root, each run
 * also drops to a user of its own (one per parallel slot), so that the
 * process limit counts its processes alone. */
#ifndef GRADER_SANDBOX_H
#define GRADER_SANDBOX_H

#include <string>
#include <vector>

/* What a run may use. */
struct Limits {
    long time_ms;        /* CPU time; wall time is twice this plus a second */
    long memory_kb;      /* peak memory; the address space is twice this */
    long output_bytes;   /* each file the program writes, stdout included */
    int processes;       /* processes of the run's user at once */
};

/* How a run ended. */
struct RunResult {
    int started;         /* 0: the run could not be made at all (setup) */
    int exited;          /* 1: exit status in status; 0: killed */
    int status;          /* exit status */
    int signal;          /* what killed it: a signal, or a Windows exception code */
    int timed_out;       /* wall or CPU time went past the limit */
    int output_flood;    /* stdout or a file went past the output limit */
    long time_ms;        /* CPU time, user and system */
    long wall_ms;
    long memory_kb;      /* peak resident memory */
};

/* SetLauncher(path): the copy of the kit's executable that the runs start
 * as their launcher, made where every slot user can read it. */
void SetLauncher(const std::string &path);

/* SandboxWorks(): 1 when bubblewrap can make the sandbox on this machine,
 * 0 when it cannot (missing, or user namespaces off). Tries it once. */
int SandboxWorks();

/* RunLimited(work, argv, stdin_path, stdout_path, stderr_path, limits,
 * slot, sandboxed, out): runs argv (argv[0] a path inside the work folder,
 * such as "./main", or a system program such as "/usr/bin/gcc") with the
 * work folder as current directory, stdin from stdin_path (empty:
 * /dev/null), stdout and stderr into the given files outside the work
 * folder. slot tells parallel runs apart. Fills *out; returns 0 when the
 * run could not be started (out->started 0). */
int RunLimited(const std::string &work, const std::vector<std::string> &argv,
               const std::string &stdin_path, const std::string &stdout_path,
               const std::string &stderr_path, const Limits &limits, int slot,
               int sandboxed, RunResult *out);

/* SignalName(sig): the Chinese name (UTF-8) of what a program died of: a
 * signal on Linux, an exception code on Windows: 段错误, 浮点错误, 异常终止
 * and the like. */
const char *SignalName(int sig);

/* ============================ The machine =================================
 * The few things the kit asks of the system beyond standard C++, each
 * written once for Linux (sandbox.cpp) and once for Windows
 * (sandbox_win.cpp). */

/* SelfPath(): the kit's own executable. */
std::string SelfPath();

/* MakeDir(path): makes a folder; 1 when it is there afterwards. */
int MakeDir(const std::string &path);

/* MakeTempDir(): a fresh folder in the system's temp folder that the runs
 * may pass through; empty on failure. */
std::string MakeTempDir();

/* IsExecutable(path): a file the system would run (Linux: the execute
 * bit; Windows: .exe). */
int IsExecutable(const std::string &path);

/* MakeExecutable(path): lets the runs execute the file. */
void MakeExecutable(const std::string &path);

/* IsLink(path): a symbolic link, never followed when a folder is removed. */
int IsLink(const std::string &path);

/* Cores(): the number of processors online, at least 1. */
int Cores();

/* ErrIsTerminal(): stderr is a terminal (the progress line goes there). */
int ErrIsTerminal();

/* RunParallel(jobs, work, context): runs work(slot, context) on jobs
 * threads, slot 0 to jobs-1, and returns when all have returned. */
void RunParallel(int jobs, void (*work)(int slot, void *context), void *context);

/* Lock(), Unlock(): the one lock the threads of RunParallel share. */
void Lock();
void Unlock();

/* MoveOver(from, to): renames from to to, replacing to: each report and
 * record is written beside and then put in place whole. */
int MoveOver(const std::string &from, const std::string &to);

/* The name of an executable made by the compiler: "main" or "main.exe". */
extern const char *const EXE_NAME;

#endif
