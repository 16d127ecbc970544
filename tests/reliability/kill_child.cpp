// Runs one operation of the reliability table on a data file and kills itself with SIGKILL at
// the N-th point (a statement started, or a write, sync or truncate of the file or journal).
// Usage: reliability_kill_child OPERATION FILE N INPUTS (the folder of the files the operation
// reads besides the data file). Exit 0: the operation completed and
// reported success before the N-th point.

#include "fault_vfs.h"
#include "operations.h"

#include "datastore/errors.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    using namespace reliability;
    if (argc != 5)
        return 2;
    const Operation *operation = findOperation(QString::fromUtf8(argv[1]));
    if (!operation)
        return 2;
    setInputFolder(QString::fromUtf8(argv[4]));
    installFaultVfs();
    countStatements();
    arm({std::atoi(argv[3]), FaultAction::Kill});
    try {
        return runAfterARead(*operation, QString::fromUtf8(argv[2])) ? 0 : 3;
    } catch (const ds::RunError &error) {
        std::fprintf(stderr, "%d %s\n", error.number(), error.description().toUtf8().constData());
        return 4;
    }
}
