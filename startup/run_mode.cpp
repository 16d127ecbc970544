#include "startup/run_mode.h"

namespace startup {
namespace {

QString &mode()
{
    static QString value;
    return value;
}

} // namespace

QString runMode()
{
    return mode();
}

void setRunMode(const QString &newMode)
{
    mode() = newMode;
}

QStringList lockableMenus()
{
    return {QStringLiteral("ZysjDl"), QStringLiteral("zycxll"), QStringLiteral("zyfj"), QStringLiteral("zyexit"),
            QStringLiteral("XtHelp"), QStringLiteral("xtwh")};
}

QStringList menusToUnlock(const QString &currentMode)
{
    if (currentMode == kFirstUseMode)
        return {QStringLiteral("zyexit"), QStringLiteral("xtwh")};
    return lockableMenus();
}

} // namespace startup
