#pragma once

#include <QString>
#include <QStringList>

namespace startup {

// The process-wide run mode: "000" while the first-use set-up runs, any other text in an
// ordinary run.
inline const QString kFirstUseMode = QStringLiteral("000");
inline const QString kNoUserMode = QStringLiteral("5831");

QString runMode();
void setRunMode(const QString &mode);

// The top-level menus that lock and unlock together.
QStringList lockableMenus();
// Those that unlockMenus enables in the given run mode.
QStringList menusToUnlock(const QString &mode);

} // namespace startup
