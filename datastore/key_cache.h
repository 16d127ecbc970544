#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <functional>
#include <list>
#include <utility>

namespace ds {

// The file's salt: its first bytes, stored in clear, from which with the password its key is made.
inline constexpr int kSaltBytes = 16;

// Overwrites the bytes (so no copy of a key lingers in freed memory) and empties the array.
void wipe(QByteArray &bytes);

// The file's key derivation: writes the key for the password's bytes and the salt into `key`
// (already sized); false when it failed.
using KeyDerivation = std::function<bool(const QByteArray &secret, const QByteArray &salt, QByteArray &key)>;

// The derivation is slow on purpose (tens of milliseconds) and the program opens the file for
// every operation, so derived keys are kept per (password, salt), the most recent few only: a
// restored file brings a new salt and is derived afresh. A failed derivation throws and keeps
// nothing; every key dropped, and every key left when the cache goes, is wiped.
class KeyCache {
public:
    explicit KeyCache(KeyDerivation derive = {}, std::size_t capacity = 4);
    ~KeyCache();
    KeyCache(const KeyCache &) = delete;
    KeyCache &operator=(const KeyCache &) = delete;

    // A copy of the key, the caller's to wipe.
    QByteArray keyFor(const QString &password, const QByteArray &salt);
    std::size_t size() const { return m_entries.size(); }

private:
    struct Entry {
        QString password;
        QByteArray salt;
        QByteArray key;
    };
    KeyDerivation m_derive;
    std::size_t m_capacity;
    std::list<Entry> m_entries; // most recently used first
};

// The key of this thread's cache for the password and salt.
QByteArray rawKeyFor(const QString &password, const QByteArray &salt);

// The raw key as the engine takes it: x'<64 hex digits>'.
QByteArray rawKeyLiteral(const QByteArray &rawKey);

} // namespace ds
