#pragma once

#include "file_state.h"

#include <functional>
#include <vector>

namespace reliability {

// One operation that writes the data file, run through the program's own logic on the file at
// a path, opening it afresh as the program does for each operation.
struct Operation {
    const char *name;
    // Brings a clinic's daily file into the state before the operation.
    std::function<void(const QString &path)> setup;
    // True when the program's function reports success; an error is a ds::RunError.
    std::function<bool(const QString &path)> run;
    StateRules rules;
    // The logic reports nothing, neither success nor failure (a step that fails is skipped):
    // a run under a fault is then judged by the state it leaves alone.
    bool silent = false;
};

// The operation after a read of the file, as a screen reads before it writes: it runs on the
// connection the read left open, with the pages that read decrypted.
bool runAfterARead(const Operation &operation, const QString &path);

// An operation run as a screen's trap runs it: success or the program's own error. An error of
// another kind, which no screen catches, is what escaped.
struct RunResult {
    bool success = false;
    QString escaped;
};
RunResult runOperation(const Operation &operation, const QString &path);

// Sets the input folder to "inputs" in folder and makes a clinic's daily file beside it, whose
// path it returns: what every harness starts from.
QString prepareDailyFile(const QString &folder);

// The files an operation reads besides the data file (an import's source, a picture) lie in
// one folder that the setups fill; no operation may change them. Set before the first setup.
void setInputFolder(const QString &folder);
QString inputFile(const QString &name);
// A fingerprint of every file in the input folder.
QByteArray inputsFingerprint();

// Every operation the fault, kill and power-cut harnesses run; one row an operation.
const std::vector<Operation> &operations();
const Operation *findOperation(const QString &name);

// An operation's file before it runs, and the old and new states it may leave.
struct Baseline {
    QString before;
    FileCheck old;
    FileCheck fresh;
    QByteArray inputs; // the input folder after the setup
    QString problem; // why the baseline could not be made; empty when it was
};
// Copies the daily file to before, runs the setup there, and runs the operation without any
// fault on a second copy in folder for the new state.
Baseline prepareBaseline(const Operation &operation, const QString &dailyFile, const QString &folder);

// Opens the file at path the way the program does, after an operation that reported success or
// not. Empty when the file is sound and holds exactly the old or exactly the new state (of the
// stored queries, each is an old or a new one), a reported success left the new state, and a
// hot journal beside the file was rolled back to the old state, and the inputs are as the
// setup left them; else what is wrong.
QString stateProblem(const QString &path, const Baseline &baseline, const StateRules &rules, bool reportedSuccess);

} // namespace reliability
