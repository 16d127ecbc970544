#include "datastore/key_cache.h"

#include "datastore/errors.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

namespace ds {
namespace {

// The engine's own derivation for its file format 3: PBKDF2-HMAC-SHA1, 64000 rounds, 32 bytes.
constexpr int kKdfIterations = 64000;
constexpr int kKeyBytes = 32;

bool pbkdf2(const QByteArray &secret, const QByteArray &salt, QByteArray &key)
{
    return PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()),
                             reinterpret_cast<const unsigned char *>(salt.constData()), int(salt.size()),
                             kKdfIterations, EVP_sha1(), int(key.size()), reinterpret_cast<unsigned char *>(key.data()))
           == 1;
}

} // namespace

void wipe(QByteArray &bytes)
{
    if (!bytes.isEmpty() && !bytes.isDetached())
        bytes.clear(); // shared with another copy: that copy's owner wipes it
    if (!bytes.isEmpty())
        OPENSSL_cleanse(bytes.data(), size_t(bytes.size()));
    bytes.clear();
}

KeyCache::KeyCache(KeyDerivation derive, std::size_t capacity)
    : m_derive(derive ? std::move(derive) : KeyDerivation(pbkdf2))
    , m_capacity(capacity == 0 ? 1 : capacity)
{
}

KeyCache::~KeyCache()
{
    for (Entry &entry : m_entries)
        wipe(entry.key);
}

QByteArray KeyCache::keyFor(const QString &password, const QByteArray &salt)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->password == password && it->salt == salt) {
            m_entries.splice(m_entries.begin(), m_entries, it);
            return QByteArray(it->key.constData(), it->key.size());
        }
    }
    QByteArray secret = password.toUtf8();
    QByteArray key(kKeyBytes, '\0');
    const bool derived = m_derive(secret, salt, key);
    wipe(secret);
    if (!derived) {
        // An unchecked failure would leave an all-zero key to encrypt the clinic's data with.
        wipe(key);
        throw RunError(ErrorCode::DatabaseFailure, describe(ErrorCode::DatabaseFailure) + QStringLiteral("（密钥计算失败）"));
    }
    m_entries.push_front(Entry{password, salt, key});
    QByteArray copy(key.constData(), key.size());
    wipe(key);
    while (m_entries.size() > m_capacity) {
        wipe(m_entries.back().key);
        m_entries.pop_back();
    }
    return copy;
}

QByteArray rawKeyFor(const QString &password, const QByteArray &salt)
{
    thread_local KeyCache cache;
    return cache.keyFor(password, salt);
}

QByteArray rawKeyLiteral(const QByteArray &rawKey)
{
    // Written in place: no intermediate hex text is left behind unwiped.
    static const char digits[] = "0123456789ABCDEF";
    QByteArray literal(3 + 2 * rawKey.size(), '\0');
    char *out = literal.data();
    *out++ = 'x';
    *out++ = '\'';
    for (char byte : rawKey) {
        *out++ = digits[(static_cast<unsigned char>(byte) >> 4) & 0xF];
        *out++ = digits[static_cast<unsigned char>(byte) & 0xF];
    }
    *out = '\'';
    return literal;
}

} // namespace ds
