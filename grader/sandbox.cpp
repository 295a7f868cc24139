/* sandbox.cpp -- one run of an untrusted program, inside limits (see
 * sandbox.h).
 *
 * A run is three processes deep:
 *
 *   the kit        forks, drops to the slot's user when root, and execs
 *   bubblewrap     which makes the namespaces and mounts, and execs
 *   the launcher   the kit itself again (RunInside, "--inside"), which
 *                  forks the program with the limits set, waits for it
 *                  with wait4, and writes how it ended on a pipe.
 *
 * The launcher is there because bubblewrap reports a death by signal as
 * the exit status 128 + signal, the same as a program that returns 139;
 * the launcher tells them apart and measures the program alone. The kit
 * watches the wall time and the size of stdout and kills the whole tree
 * (bubblewrap's --die-with-parent takes its namespace with it). */
#include "sandbox.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <thread>
#include <mutex>
#include <unistd.h>

/* ============================ Helpers ===================================== */

/* Milliseconds of a monotonic clock. */
static long NowMs() {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

/* The launcher's path: a copy of the kit where every slot user may read it
 * (SetLauncher), else the kit itself. */
static std::string launcher;

void SetLauncher(const std::string &path) { launcher = path; }

/* The launcher's path. */
static std::string LauncherPath() {
    if (!launcher.empty()) return launcher;
    return SelfPath();
}

std::string SelfPath() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return "";
    path[n] = '\0';
    return path;
}

/* The first user id of the slots, when the kit runs as root: far above the
 * ids people and system services get. */
static const int SLOT_UID_BASE = 61000;

const char *SignalName(int sig) {
    switch (sig) {
    case SIGSEGV: return "段错误";
    case SIGFPE: return "浮点错误";
    case SIGABRT: return "异常终止";
    case SIGBUS: return "总线错误";
    case SIGILL: return "非法指令";
    case SIGKILL: return "被强行终止";
    case SIGXCPU: return "CPU 时间超限";
    case SIGXFSZ: return "文件大小超限";
    case SIGPIPE: return "管道断开";
    default: return "被信号终止";
    }
}

/* GiveWork(work, uid): makes the work folder and the files in it the
 * slot user's, so that the run may write there and nowhere else. */
static void GiveWork(const std::string &work, int uid) {
    if (chown(work.c_str(), uid, uid) != 0) return;
    DIR *dir = opendir(work.c_str());
    if (dir == nullptr) return;
    for (struct dirent *e = readdir(dir); e != nullptr; e = readdir(dir)) {
        if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0) continue;
        std::string path = work + "/" + e->d_name;
        if (lchown(path.c_str(), uid, uid) != 0) {}
    }
    closedir(dir);
}

/* ============================ The launcher ================================ */

/* RunInside(argc, argv): the kit run as "--inside FD CPU_S AS_BYTES FSIZE
 * NPROC -- program args...". Forks the program with those limits (0: no
 * limit), waits for it and writes "exited status signal cpu_ms maxrss_kb"
 * on FD. Returns the launcher's exit status. */
int RunInside(int argc, char **argv) {
    if (argc < 8 || strcmp(argv[7], "--") != 0 || argc < 9) return 125;
    int fd = atoi(argv[2]);
    long cpu = atol(argv[3]);
    long long as = atoll(argv[4]);
    long long fsize = atoll(argv[5]);
    long nproc = atol(argv[6]);
    pid_t pid = fork();
    if (pid < 0) return 125;
    if (pid == 0) {
        close(fd);
        struct rlimit r;
        if (cpu > 0) { r.rlim_cur = cpu; r.rlim_max = cpu + 1; setrlimit(RLIMIT_CPU, &r); }
        if (as > 0) { r.rlim_cur = r.rlim_max = as; setrlimit(RLIMIT_AS, &r); }
        if (fsize > 0) { r.rlim_cur = r.rlim_max = fsize; setrlimit(RLIMIT_FSIZE, &r); }
        if (nproc > 0) { r.rlim_cur = r.rlim_max = nproc; setrlimit(RLIMIT_NPROC, &r); }
        r.rlim_cur = r.rlim_max = 0;
        setrlimit(RLIMIT_CORE, &r);
        execv(argv[8], argv + 8);
        _exit(127);
    }
    int st = 0;
    struct rusage ru;
    memset(&ru, 0, sizeof ru);
    while (wait4(pid, &st, 0, &ru) < 0 && errno == EINTR) {}
    long cpu_ms = ru.ru_utime.tv_sec * 1000L + ru.ru_utime.tv_usec / 1000 +
                  ru.ru_stime.tv_sec * 1000L + ru.ru_stime.tv_usec / 1000;
    char line[128];
    int n = snprintf(line, sizeof line, "%d %d %d %ld %ld\n", WIFEXITED(st) ? 1 : 0,
                     WIFEXITED(st) ? WEXITSTATUS(st) : 0, WIFSIGNALED(st) ? WTERMSIG(st) : 0,
                     cpu_ms, (long)ru.ru_maxrss);
    if (write(fd, line, n) != n) return 125;
    return 0;
}

/* ============================ The sandbox ================================= */

/* The bubblewrap options up to the command: /usr and the merged-/usr links
 * read-only, a fresh /proc, /dev and /tmp, the work folder at /w. */
static void AddSandbox(std::vector<std::string> &args, const std::string &work,
                       const std::string &self) {
    const char *head[] = {"bwrap", "--unshare-all", "--die-with-parent", "--new-session",
                          "--clearenv", "--setenv", "PATH", "/usr/bin:/bin",
                          "--setenv", "HOME", "/w", "--setenv", "LANG", "C",
                          "--ro-bind", "/usr", "/usr"};
    for (const char *h : head) args.push_back(h);
    const char *tops[] = {"/bin", "/sbin", "/lib", "/lib64", "/lib32", "/libx32"};
    for (const char *top : tops) {
        char target[PATH_MAX];
        ssize_t n = readlink(top, target, sizeof target - 1);
        struct stat st;
        if (n > 0) {
            target[n] = '\0';
            args.insert(args.end(), {"--symlink", target, top});
        } else if (stat(top, &st) == 0 && S_ISDIR(st.st_mode)) {
            args.insert(args.end(), {"--ro-bind", top, top});
        }
    }
    args.insert(args.end(), {"--proc", "/proc", "--dev", "/dev", "--tmpfs", "/tmp",
                             "--bind", work, "/w", "--chdir", "/w",
                             "--ro-bind", self, "/.launcher"});
}

int SandboxWorks() {
    static int answer = -1;
    if (answer >= 0) return answer;
    std::vector<std::string> args;
    AddSandbox(args, "/tmp", LauncherPath());
    args.push_back("/usr/bin/true");
    std::vector<char *> v;
    for (std::string &a : args) v.push_back(&a[0]);
    v.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        dup2(null, 2);
        if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(SLOT_UID_BASE) != 0 ||
                              setuid(SLOT_UID_BASE) != 0))
            _exit(126);
        execvp("bwrap", v.data());
        _exit(127);
    }
    int st = 0;
    if (pid < 0 || waitpid(pid, &st, 0) < 0) return answer = 0;
    return answer = (WIFEXITED(st) && WEXITSTATUS(st) == 0) ? 1 : 0;
}

int RunLimited(const std::string &work, const std::vector<std::string> &argv,
               const std::string &stdin_path, const std::string &stdout_path,
               const std::string &stderr_path, const Limits &limits, int slot,
               int sandboxed, RunResult *out) {
    memset(out, 0, sizeof *out);
    std::string self = LauncherPath();
    int pipefd[2];
    if (self.empty() || pipe2(pipefd, O_CLOEXEC) != 0) return 0;
    int in = open(stdin_path.empty() ? "/dev/null" : stdin_path.c_str(), O_RDONLY | O_CLOEXEC);
    int so = open(stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int se = open(stderr_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int uid = SLOT_UID_BASE + 1 + slot;
    bool root = getuid() == 0;
    if (root) GiveWork(work, uid);

    /* Everything the child needs is made before fork: the kit has threads. */
    /* The CPU limit stops a spinning program a little past the time limit;
     * the verdict compares the time used with the limit itself. */
    long cpu_s = (limits.time_ms * 3 / 2 + 999) / 1000;
    long long as = limits.memory_kb > 0 ? 2LL * limits.memory_kb * 1024 : 0;
    std::vector<std::string> args;
    if (sandboxed) AddSandbox(args, work, self);
    args.push_back(sandboxed ? "/.launcher" : self);
    args.insert(args.end(), {"--inside", "3", std::to_string(cpu_s), std::to_string(as),
                             std::to_string(limits.output_bytes),
                             std::to_string(limits.processes), "--"});
    args.insert(args.end(), argv.begin(), argv.end());
    std::vector<char *> v;
    for (std::string &a : args) v.push_back(&a[0]);
    v.push_back(nullptr);

    long start = NowMs();
    pid_t pid = (in >= 0 && so >= 0 && se >= 0) ? fork() : -1;
    if (pid == 0) {
        setpgid(0, 0);
        dup2(in, 0);
        dup2(so, 1);
        dup2(se, 2);
        dup2(pipefd[1], 3);
        if (!sandboxed && chdir(work.c_str()) != 0) _exit(126);
        if (root && (setgroups(0, nullptr) != 0 || setgid(uid) != 0 || setuid(uid) != 0))
            _exit(126);
        execvp(v[0], v.data());
        _exit(127);
    }
    close(pipefd[1]);
    if (in >= 0) close(in);
    if (se >= 0) close(se);
    if (pid < 0) {
        close(pipefd[0]);
        if (so >= 0) close(so);
        return 0;
    }

    /* Watch from outside: wall time, and the size of stdout. */
    long wall_limit = 2 * limits.time_ms + 1000;
    int st = 0;
    int polls = 0;
    for (;;) {
        pid_t done = waitpid(pid, &st, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) break;
        struct stat size;
        bool flood = limits.output_bytes > 0 && fstat(so, &size) == 0 &&
                     size.st_size > limits.output_bytes;
        bool late = NowMs() - start > wall_limit;
        if (flood || late) {
            if (flood) out->output_flood = 1;
            if (late) out->timed_out = 1;
            kill(-pid, SIGKILL);
            kill(pid, SIGKILL);
            waitpid(pid, &st, 0);
            break;
        }
        struct timespec nap = {0, (polls++ < 50 ? 1 : 10) * 1000000L};
        nanosleep(&nap, nullptr);
    }
    out->wall_ms = NowMs() - start;
    close(so);

    char line[128] = {0};
    ssize_t n = read(pipefd[0], line, sizeof line - 1);
    close(pipefd[0]);
    out->started = 1;
    int exited = 0, status = 0, sig = 0;
    long cpu_ms = 0, rss = 0;
    if (n > 0 && sscanf(line, "%d %d %d %ld %ld", &exited, &status, &sig, &cpu_ms, &rss) == 5) {
        out->exited = exited;
        out->status = status;
        out->signal = sig;
        out->time_ms = cpu_ms;
        out->memory_kb = rss;
    } else if (out->timed_out || out->output_flood) {
        out->signal = SIGKILL;     /* killed from outside: no usage known */
    } else {
        /* The launcher never reported: the sandbox itself failed. */
        out->started = WIFEXITED(st) && WEXITSTATUS(st) != 0 ? 0 : 1;
        out->signal = SIGKILL;
    }
    if (out->signal == SIGXCPU || out->time_ms > limits.time_ms) out->timed_out = 1;
    if (out->signal == SIGXFSZ) out->output_flood = 1;
    return out->started;
}

/* ============================ The machine ================================= */

const char *const EXE_NAME = "main";

int MakeDir(const std::string &path) {
    struct stat st;
    return mkdir(path.c_str(), 0755) == 0 || (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

std::string MakeTempDir() {
    const char *tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/grader-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    /* 0711: the slot users pass through to their work folders. */
    if (mkdtemp(name.data()) == nullptr || chmod(name.data(), 0711) != 0) return "";
    return name.data();
}

int IsExecutable(const std::string &path) { return access(path.c_str(), X_OK) == 0; }

void MakeExecutable(const std::string &path) { chmod(path.c_str(), 0755); }

int IsLink(const std::string &path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

int Cores() {
    long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? (int)n : 1;
}

int ErrIsTerminal() { return isatty(2); }

void RunParallel(int jobs, void (*work)(int slot, void *context), void *context) {
    std::vector<std::thread> threads;
    for (int j = 0; j < jobs; j++) threads.emplace_back(work, j, context);
    for (std::thread &t : threads) t.join();
}

static std::mutex the_lock;
void Lock() { the_lock.lock(); }
void Unlock() { the_lock.unlock(); }

int MoveOver(const std::string &from, const std::string &to) {
    return rename(from.c_str(), to.c_str()) == 0;
}
