#include "access/password_hash.h"

#include "datastore/errors.h"

#include <QByteArray>
#include <QStringList>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace users {
namespace {

const QString kScheme = QStringLiteral("pbkdf2-sha256");
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
// A row naming an absurd cost would stall the login; such a row cannot be ours.
constexpr int kMaxIterations = 10'000'000;

QByteArray derive(const QString &password, const QByteArray &salt, int iterations)
{
    const QByteArray utf8 = password.toUtf8();
    QByteArray hash(kHashBytes, '\0');
    if (PKCS5_PBKDF2_HMAC(utf8.constData(), int(utf8.size()), reinterpret_cast<const unsigned char *>(salt.constData()),
                          int(salt.size()), iterations, EVP_sha256(), kHashBytes,
                          reinterpret_cast<unsigned char *>(hash.data()))
        != 1)
        throw ds::RunError(ds::ErrorCode::DatabaseFailure, QStringLiteral("密码加密失败。"));
    return hash;
}

} // namespace

QString hashPassword(const QString &password, int iterations)
{
    QByteArray salt(kSaltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char *>(salt.data()), kSaltBytes) != 1)
        throw ds::RunError(ds::ErrorCode::DatabaseFailure, QStringLiteral("无法取得随机数，密码没有保存。"));
    const QByteArray hash = derive(password, salt, iterations);
    return QStringList{kScheme, QString::number(iterations), QString::fromLatin1(salt.toBase64()),
                       QString::fromLatin1(hash.toBase64())}
        .join(QLatin1Char('$'));
}

bool isPasswordHash(const QString &stored)
{
    return stored.startsWith(kScheme + QLatin1Char('$'));
}

bool matchesClearPassword(const QString &password, const QString &stored)
{
    const QString clear = stored.trimmed();
    if (clear.isEmpty() || isPasswordHash(stored))
        return false;
    const QByteArray typed = password.toUtf8();
    const QByteArray kept = clear.toUtf8();
    return typed.size() == kept.size() && CRYPTO_memcmp(typed.constData(), kept.constData(), size_t(typed.size())) == 0;
}

bool verifyPassword(const QString &password, const QString &stored)
{
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts[0] != kScheme)
        return false;
    bool numeric = false;
    const int iterations = parts[1].toInt(&numeric);
    if (!numeric || iterations < 1 || iterations > kMaxIterations)
        return false;
    const auto salt = QByteArray::fromBase64Encoding(parts[2].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    const auto expected = QByteArray::fromBase64Encoding(parts[3].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!salt || !expected || salt.decoded.isEmpty() || expected.decoded.size() != kHashBytes)
        return false;
    const QByteArray actual = derive(password, salt.decoded, iterations);
    // Compared in constant time, so the time taken tells nothing about how much agreed.
    return CRYPTO_memcmp(actual.constData(), expected.decoded.constData(), kHashBytes) == 0;
}

} // namespace users
