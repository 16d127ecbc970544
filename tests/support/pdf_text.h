#pragma once

#include <QProcess>
#include <QString>

// The text of a PDF file as a reader would select it (poppler's pdftotext, keeping the layout's
// lines); empty when the file cannot be read.
inline QString pdfText(const QString &path)
{
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                                               QStringLiteral("-")});
    if (!reader.waitForFinished(30000) || reader.exitCode() != 0)
        return {};
    return QString::fromUtf8(reader.readAllStandardOutput());
}
