#pragma once

#include <QByteArray>
#include <QString>

namespace ds {

// The file's key derivation is slow on purpose (tens of milliseconds). The program opens the
// file for every operation, so the derived key is kept per (password, salt) for the life of
// the process; a restored file brings a new salt and is derived afresh.
QByteArray rawKeyFor(const QString &password, const QByteArray &salt);

// The raw key as the engine takes it: x'<64 hex digits>'.
QByteArray rawKeyLiteral(const QByteArray &rawKey);

} // namespace ds
