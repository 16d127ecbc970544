#pragma once

#include "startup/files/file_replace.h"

#include <QFile>
#include <QHash>
#include <QStringList>

#include <cerrno>
#include <functional>

// Stands in front of the file-replacing routine's system calls while it lives: records each
// call as "name path" and fails those the test's rule answers with an error number (ENOSPC for
// a full disk, say); every other call goes to the system.
class ScriptedFileLayer : public startup::FileLayer {
public:
    // The error number to fail a call with, or 0 to let it through.
    using Rule = std::function<int(const QString &call, const QString &path)>;

    explicit ScriptedFileLayer(Rule rule = {})
        : m_rule(std::move(rule))
    {
        startup::setFileLayer(this);
    }
    ~ScriptedFileLayer() override { startup::setFileLayer(nullptr); }
    ScriptedFileLayer(const ScriptedFileLayer &) = delete;
    ScriptedFileLayer &operator=(const ScriptedFileLayer &) = delete;

    QStringList calls;

    int open(const char *path, int flags, mode_t mode) override
    {
        if (failed("open", QFile::decodeName(path)))
            return -1;
        const int fd = FileLayer::open(path, flags, mode);
        if (fd >= 0)
            m_paths.insert(fd, QFile::decodeName(path));
        return fd;
    }
    ssize_t write(int fd, const void *data, size_t size) override
    {
        return failed("write", m_paths.value(fd)) ? -1 : FileLayer::write(fd, data, size);
    }
    int fsync(int fd) override { return failed("fsync", m_paths.value(fd)) ? -1 : FileLayer::fsync(fd); }
    int rename(const char *from, const char *to) override
    {
        return failed("rename", QFile::decodeName(from)) ? -1 : FileLayer::rename(from, to);
    }
    int unlink(const char *path) override { return failed("unlink", QFile::decodeName(path)) ? -1 : FileLayer::unlink(path); }

private:
    bool failed(const char *call, const QString &path)
    {
        calls.append(QLatin1String(call) + QLatin1Char(' ') + path);
        const int error = m_rule ? m_rule(QLatin1String(call), path) : 0;
        errno = error;
        return error != 0;
    }

    Rule m_rule;
    QHash<int, QString> m_paths;
};
