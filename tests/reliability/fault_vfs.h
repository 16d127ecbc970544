#pragma once

// A test-only wrapper around the engine's default file layer. It counts the write points of the
// data file and its journal (every write, sync and truncate, and the journal's deletion that
// commits) and, at the chosen one, fails it or kills the process, the way a full disk, a
// failing disk or a crash would meet the program. While a PowerCut is active (power_cut.h) it
// reports every change and sync of those files to it, and fails them once the power is off.
namespace reliability {

enum class FaultAction {
    FailOnce,    // the chosen point fails with an I/O error; later ones succeed again
    FailOnward,  // the chosen point and every later one fail with an I/O error (a dead disk)
    DiskFull,    // the chosen point and every later one fail with "disk full"
    ShortWrite,  // a full disk in the middle of a write: half of it lands, then "disk full" onward
    Kill         // the process ends with SIGKILL at the chosen point
};

struct FaultPlan {
    int at = 0; // the 1-based point; 0 never fires
    FaultAction action = FaultAction::FailOnce;
};

// Wraps the default file layer and makes the wrapper the default, so the program's own open
// path uses it unchanged. Call before the first connection is opened; repeated calls do nothing.
void installFaultVfs();

// Also counts each statement the engine starts, on every connection opened from now on, as a
// point (the kill harness stops the program between any two statements).
void countStatements();

// Starts counting from zero under the plan; disarm stops every fault.
void arm(const FaultPlan &plan);
void disarm();

// Whether the armed plan reached its point; how many points it passed.
bool faultHit();
int pointsPassed();

const char *actionName(FaultAction action);

} // namespace reliability
