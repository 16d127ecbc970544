// Takes the program's instance lock for the home folder given, says so, and waits to be killed.
#include "startup/instance_lock.h"

#include <cstdio>
#include <thread>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    startup::InstanceLock lock(startup::instanceLockPath(QString::fromLocal8Bit(argv[1])));
    if (!lock.tryAcquire())
        return 1;
    std::puts("locked");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::minutes(5));
    return 0;
}
