#include "step_tracer.h"

#include <csignal>
#include <exception>
#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace reliability {
namespace {

constexpr int kUntraceable = 72;

// A creating open is a step: the temporary file appears then.
bool creates(unsigned long long flags)
{
    return (flags & O_CREAT) != 0;
}

bool isStep(const __ptrace_syscall_info &info)
{
    const auto &call = info.entry;
    switch (call.nr) {
    case SYS_write:
    case SYS_pwrite64:
    case SYS_writev:
    case SYS_pwritev:
    case SYS_pwritev2:
    case SYS_fsync:
    case SYS_fdatasync:
    case SYS_ftruncate:
    case SYS_truncate:
    case SYS_renameat:
    case SYS_renameat2:
    case SYS_unlinkat:
#ifdef SYS_rename
    case SYS_rename:
#endif
#ifdef SYS_unlink
    case SYS_unlink:
#endif
        return true;
    case SYS_openat:
        return creates(call.args[2]);
#ifdef SYS_open
    case SYS_open:
        return creates(call.args[1]);
#endif
#ifdef SYS_creat
    case SYS_creat:
        return true;
#endif
    default:
        return false;
    }
}

// The child's own end: it never returns into the test framework of the parent it copies.
[[noreturn]] void runInChild(const std::function<int()> &work)
{
    int code = 70;
    try {
        code = work();
    } catch (...) {
        code = 71;
    }
    ::_exit(code);
}

ChildEnd endOf(int status, int steps)
{
    ChildEnd end;
    end.steps = steps;
    end.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    end.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return end;
}

} // namespace

ChildEnd runKilledAtStep(int at, const std::function<int()> &work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            ::_exit(kUntraceable);
        ::raise(SIGSTOP);
        runInChild(work);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFSTOPPED(status))
        return endOf(status, 0);
    ::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    int steps = 0;
    int pending = 0; // a signal of the child's own, passed on
    for (;;) {
        ::ptrace(PTRACE_SYSCALL, child, nullptr, reinterpret_cast<void *>(long(pending)));
        pending = 0;
        if (::waitpid(child, &status, 0) != child || WIFEXITED(status) || WIFSIGNALED(status))
            return endOf(status, steps);
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            pending = WSTOPSIG(status);
            continue;
        }
        __ptrace_syscall_info info{};
        ::ptrace(PTRACE_GET_SYSCALL_INFO, child, reinterpret_cast<void *>(sizeof info), &info);
        if (info.op != PTRACE_SYSCALL_INFO_ENTRY || !isStep(info))
            continue;
        if (++steps == at) {
            // Stopped at the call's entry: the step never happens.
            ::kill(child, SIGKILL);
            while (::waitpid(child, &status, 0) == child && !WIFEXITED(status) && !WIFSIGNALED(status)) {
            }
            return endOf(status, steps);
        }
    }
}

bool canTraceSteps()
{
    static const bool traceable = [] {
        const ChildEnd end = runKilledAtStep(0, [] { return 0; });
        return !end.killed && end.exitCode == 0;
    }();
    return traceable;
}

ChildEnd runKilledAfter(long micros, const std::function<int()> &work)
{
    const pid_t child = ::fork();
    if (child == 0)
        runInChild(work);
    ::usleep(useconds_t(micros));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    return endOf(status, 0);
}

ChildEnd runWithFileSizeLimit(long limitBytes, const std::function<int()> &work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(limitBytes), rlim_t(limitBytes)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        runInChild(work);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return endOf(status, 0);
}

} // namespace reliability
