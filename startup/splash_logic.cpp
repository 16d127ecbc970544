#include "startup/splash_logic.h"

namespace startup {

QString splashVersionText(int major, int minor, int revision)
{
    return QStringLiteral("标准版 ") + QString::number(major) + QLatin1Char('.') + QString::number(minor)
           + QString::number(revision);
}

QString splashVersionText()
{
    return splashVersionText(CC_VERSION_MAJOR, CC_VERSION_MINOR, CC_VERSION_PATCH);
}

QString aboutVersionText(int major, int minor)
{
    return QString::number(major) + QLatin1Char('.') + QString::number(minor);
}

QString aboutVersionText()
{
    return aboutVersionText(CC_VERSION_MAJOR, CC_VERSION_MINOR);
}

QString clinicLabelText(const QString &unit, const QString &telephone, const QString &user)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("使用单位：") + unit + crlf + crlf + QStringLiteral("联系电话：") + telephone
           + QStringLiteral("    使用人：") + user;
}

SeekPassRoute seekPassRoute(ds::Database &db)
{
    const QString query = QStringLiteral("yhmc");
    db.purgeQueries();
    db.createQuery(query, QStringLiteral("select 姓名 FROM 密码表"));
    const ds::Dynaset names = db.openDynaset(query);
    return ds::isEmptyResult(names) ? SeekPassRoute::PasswordSetup : SeekPassRoute::Login;
}

} // namespace startup
