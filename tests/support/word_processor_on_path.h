#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

// A stand-in word processor first on PATH while this lives: a "soffice" that does nothing,
// installed with or without a window-system plug-in beside it, as the desktop build and the
// build for servers are. Tests record the start instead of running it.
class WordProcessorOnPath {
public:
    explicit WordProcessorOnPath(bool canShowWindows = true)
        : m_oldPath(qgetenv("PATH"))
    {
        QFile program(m_folder.filePath(QStringLiteral("soffice")));
        program.open(QIODevice::WriteOnly);
        program.write("#!/bin/sh\nexit 0\n");
        program.close();
        program.setPermissions(program.permissions() | QFile::ExeOwner | QFile::ExeUser);
        if (canShowWindows) {
            QFile plugin(m_folder.filePath(QStringLiteral("libvclplug_genlo.so")));
            plugin.open(QIODevice::WriteOnly);
        }
        qputenv("PATH", QFile::encodeName(m_folder.path()) + ':' + m_oldPath);
    }
    ~WordProcessorOnPath() { qputenv("PATH", m_oldPath); }
    WordProcessorOnPath(const WordProcessorOnPath &) = delete;
    WordProcessorOnPath &operator=(const WordProcessorOnPath &) = delete;

    QString program() const { return m_folder.filePath(QStringLiteral("soffice")); }

private:
    QTemporaryDir m_folder;
    QByteArray m_oldPath;
};
