// Runs the start-up's seed copy for the home folder and seed given, as the program's first
// start does, and says how it went: "copied" or "error <number>". A test starts it under a
// file-size limit to make the copy fail part-way.
#include "datastore/errors.h"
#include "startup/startup_logic.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    ds::DataPaths paths = ds::DataPaths::under(QString::fromLocal8Bit(argv[1]), QString());
    paths.seedFile = QString::fromLocal8Bit(argv[2]);
    try {
        startup::ensureDataFile(paths);
        std::puts("copied");
    } catch (const ds::RunError &error) {
        std::printf("error %d\n", error.number());
    }
    return 0;
}
