#pragma once

#include <QString>

namespace users {

// Passwords never reach 密码 as typed: the column keeps one self-describing text
// "pbkdf2-sha256$<iterations>$<salt>$<hash>" (salt and hash in base64), so the cost can be
// raised later without breaking stored rows.
inline constexpr int kPasswordIterations = 120000;

QString hashPassword(const QString &password, int iterations = kPasswordIterations);

// True only when the stored text is a hash of this password; a text in any other form
// (a clear password, a damaged row) never verifies.
bool verifyPassword(const QString &password, const QString &stored);

// True when the stored text is in the hashed form (made by hashPassword, or damaged after it).
bool isPasswordHash(const QString &stored);

// True when the stored text is a password kept in clear (a row written before passwords were
// hashed, or by another tool) and the typed one is that password; compared in constant time.
bool matchesClearPassword(const QString &password, const QString &stored);

} // namespace users
