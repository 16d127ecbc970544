#pragma once

#include "datastore/database.h"

#include <QString>

namespace startup {

inline const QString kProductName = QStringLiteral("澄川本草");

// "标准版 " with major "." minor and revision run together: 5.2.0 reads "标准版 5.20".
QString splashVersionText(int major, int minor, int revision);
QString splashVersionText(); // the program's own version
// The about box shows major "." minor: "5.2".
QString aboutVersionText(int major, int minor);
QString aboutVersionText();

// The clinic label of the splash screen: three lines, the middle one empty.
QString clinicLabelText(const QString &unit, const QString &telephone, const QString &user);

enum class SeekPassRoute {
    Login,        // 密码表 has a user: the login form
    PasswordSetup // no user yet: the password screen, run mode "5831"
};

// Reads the names of 密码表 through the stored query "yhmc", which stays in the file.
SeekPassRoute seekPassRoute(ds::Database &db);

} // namespace startup
