#pragma once

#include "startup/files/file_replace.h"

#include <map>
#include <string>

// The file-replacing routine's system calls (copies, renames, folder syncs that the engine never
// sees) fed to the active PowerCut. While it lives, each file creation, truncation by open,
// write, rename, unlink and folder made is reported (a write and a sync by the file its
// descriptor opened, whatever its name by then), and each fsync of a file or a folder is a sync
// point, left off the disk: the model says what is durable. Once the power is off every call
// fails with EIO, as on a dead machine. Without an active PowerCut it passes everything to the
// system.
namespace reliability {

class PowerCut;

class PowerCutFileLayer : public startup::FileLayer {
public:
    PowerCutFileLayer();
    ~PowerCutFileLayer() override;
    PowerCutFileLayer(const PowerCutFileLayer &) = delete;
    PowerCutFileLayer &operator=(const PowerCutFileLayer &) = delete;

    int open(const char *path, int flags, mode_t mode) override;
    ssize_t read(int fd, void *data, size_t size) override;
    ssize_t write(int fd, const void *data, size_t size) override;
    int fsync(int fd) override;
    int close(int fd) override;
    int rename(const char *from, const char *to) override;
    int unlink(const char *path) override;
    int mkdir(const char *path, mode_t mode) override;

private:
    struct Opened {
        std::string path;
        bool folder;
        int file = -1; // the model's handle, taken at the first change
    };
    int handleOf(PowerCut &cut, int fd);
    std::map<int, Opened> m_opened;
};

} // namespace reliability
