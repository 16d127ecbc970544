#pragma once

#include <functional>

// Faults at every file-system step of logic that writes files by itself (a copy, an fsync, a
// rename), which the engine's file layer never sees. The logic runs in a forked child; the
// parent watches it from outside, so the logic needs no seam.
namespace reliability {

struct ChildEnd {
    bool killed = false; // ended by SIGKILL at the chosen step
    int exitCode = -1;   // what work gave, when it ended by itself
    int steps = 0;       // the file-system steps it started
};

// Whether this machine lets a process trace its child (a container may forbid it).
bool canTraceSteps();

// Traces the child's system calls and kills it with SIGKILL just before its at-th step: a
// write, sync, truncate, rename, unlink or file creation. at = 0 never kills.
ChildEnd runKilledAtStep(int at, const std::function<int()> &work);

// Where tracing is forbidden: kills the child with SIGKILL after micros microseconds.
ChildEnd runKilledAfter(long micros, const std::function<int()> &work);

// Runs work in a child whose writes stop at limitBytes a file, as on a full disk: the write
// fails (SIGXFSZ is ignored) instead of ending the process.
ChildEnd runWithFileSizeLimit(long limitBytes, const std::function<int()> &work);

} // namespace reliability
