#include "startup/start_notice.h"

#include <QDir>
#include <QFile>

namespace startup {
namespace {

QString noticePath(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("ccyc-notice.txt"));
}

} // namespace

void leaveNotice(const QString &dataFolder, const QString &line)
{
    QFile file(noticePath(dataFolder));
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(line.toUtf8() + '\n');
}

QString takeNotice(const QString &dataFolder)
{
    QFile file(noticePath(dataFolder));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString notice = QString::fromUtf8(file.readAll()).trimmed();
    file.close();
    file.remove();
    return notice;
}

} // namespace startup
