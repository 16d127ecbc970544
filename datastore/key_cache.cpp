#include "datastore/key_cache.h"

#include <openssl/evp.h>

#include <map>
#include <utility>

namespace ds {
namespace {

// The engine's own derivation for its file format 3: PBKDF2-HMAC-SHA1, 64000 rounds, 32 bytes.
constexpr int kKdfIterations = 64000;
constexpr int kKeyBytes = 32;

QByteArray derive(const QString &password, const QByteArray &salt)
{
    const QByteArray secret = password.toUtf8();
    QByteArray key(kKeyBytes, '\0');
    PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()),
                      reinterpret_cast<const unsigned char *>(salt.constData()), int(salt.size()),
                      kKdfIterations, EVP_sha1(), kKeyBytes, reinterpret_cast<unsigned char *>(key.data()));
    return key;
}

} // namespace

QByteArray rawKeyFor(const QString &password, const QByteArray &salt)
{
    thread_local std::map<std::pair<QString, QByteArray>, QByteArray> cache;
    auto [it, inserted] = cache.try_emplace({password, salt});
    if (inserted)
        it->second = derive(password, salt);
    return it->second;
}

QByteArray rawKeyLiteral(const QByteArray &rawKey)
{
    return "x'" + rawKey.toHex().toUpper() + "'";
}

} // namespace ds
