#pragma once

#include "datastore/database.h"

#include <QString>
#include <QStringList>

namespace users {

// The three boxes of the password screen, as typed.
struct PasswordInput {
    QString name;
    QString newPassword;
    QString confirmation;

    PasswordInput trimmed() const;
};

// Why the input check refused the input, in the order the check looks.
enum class PasswordRefusal {
    None,
    ShortName,         // "请输二位字符以上的用户名称"
    ShortNewPassword,  // "请输入4位以上字符的密码"
    ShortConfirmation, // the same text, for the second box
    Mismatch           // "新密码两次输入有误，重新输入。"
};

// The input check of the save; give it trimmed input.
PasswordRefusal checkPasswordInput(const PasswordInput &input);
QString refusalMessage(PasswordRefusal refusal);

// Enter in the boxes moves on only past these tests.
bool nameEnterMovesOn(const QString &name);
bool newPasswordEnterMovesOn(const QString &newPassword);
bool confirmationEnterMovesOn(const QString &newPassword);
QString shortPasswordWarning();

// The names the bound list shows: 姓名 of every row of "SELECT * FROM 密码表".
QStringList passwordTableNames(ds::Database &db);

// The statement that stores the one user; the password argument is the stored (hashed) form.
QString passwordInsertText(const QString &name, const QString &storedPassword);

// Replaces the whole of 密码表 by one row of level "1" holding a hash of the password. The
// emptying and the insert are one transaction: a failed insert leaves the old row in place.
void savePassword(ds::Database &db, const QString &name, const QString &password);

// The exit check: true when 密码表 counts at least one row. Every step that fails is
// skipped, and a count that cannot be read counts as none.
bool passwordTableHasRows(ds::Database &db);
bool passwordTableHasRows(const QString &dataFile);

QString incompleteTableMessage();

} // namespace users
