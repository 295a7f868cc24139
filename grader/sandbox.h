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
    int exited;          /* 1: exit status in status; 0: killed by signal */
    int status;          /* exit status */
    int signal;          /* the signal, when killed */
    int timed_out;       /* wall or CPU time went past the limit */
    int output_flood;    /* stdout went past the output limit */
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

/* SignalName(sig): the Chinese name (UTF-8) of a signal a program dies of:
 * 段错误, 浮点错误, 异常终止 and the like. */
const char *SignalName(int sig);

#endif
