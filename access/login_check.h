#pragma once

#include "datastore/database.h"

#include <QString>
#include <QStringList>

namespace users {

// The names of 密码表 in the order the stored query "yhmc" returns them; empty when the
// table has no usable row. "yhmc" stays in the file until the next purge.
QStringList seekUserNames(ds::Database &db);

// The outcome of one check of a name and password: passjy and jbpass of the login form.
struct PasswordCheck {
    bool matched = false; // passjy 0
    QString level;        // jbpass: 级别 of the matching row, trimmed
};

// The text of the stored query "yhmm". Only the name goes into it (quotes doubled); the
// password is compared against the stored hash outside any SQL text.
QString passwordQueryText(const QString &name);

// Checks the pair against 密码表 through the stored query "yhmm", which is deleted again
// whatever happens. Name and password are trimmed first. A row whose password is kept in
// clear matches its password once: the row is given the hash at that login.
PasswordCheck seekPassword(ds::Database &db, const QString &name, const QString &password);

// Passwords of three characters or fewer are refused before any check and never counted.
bool isTooShortForLogin(const QString &password);

enum class LoginOutcome {
    Succeeded, // close the form and unlock the menus
    Retry,     // "无效的密码，再试一次！"
    Refused    // "非法用户，你无权使用本系统！", then the program ends
};

// The attempt counter of one login form.
class LoginAttempts {
public:
    static constexpr int kAllowed = 3;

    // Counts an attempt that passed the length test; call it before the check runs.
    void count() { ++m_count; }
    int counted() const { return m_count; }
    // After the allowed attempts every pair is refused, a correct one too: otherwise a fourth
    // guess that happened to be right would let its maker in.
    LoginOutcome outcome(bool matched) const;

private:
    int m_count = 0;
};

// The user the login of this run let in (the doctor a prescription names), trimmed; empty before
// anyone logged in.
void setSignedInUser(const QString &name);
QString signedInUser();

} // namespace users
