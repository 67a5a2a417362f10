#include "server/passwordhash.h"

#include "lang/apperror.h"

#include <QStringList>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace {

constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
const QString kScheme = QStringLiteral("pbkdf2-sha256");

QByteArray Derive(const QByteArray &password, const QByteArray &salt, int iterations) {
    QByteArray out(kHashBytes, Qt::Uninitialized);
    if (PKCS5_PBKDF2_HMAC(password.constData(), static_cast<int>(password.size()),
                          reinterpret_cast<const unsigned char *>(salt.constData()),
                          static_cast<int>(salt.size()), iterations, EVP_sha256(), kHashBytes,
                          reinterpret_cast<unsigned char *>(out.data())) != 1)
        throw AppError(QStringLiteral("password hashing failed"));
    return out;
}

} // namespace

QString HashPassword(const QByteArray &password, int iterations) {
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    if (RAND_bytes(reinterpret_cast<unsigned char *>(salt.data()), kSaltBytes) != 1)
        throw AppError(QStringLiteral("no random salt available"));
    const QByteArray hash = Derive(password, salt, iterations);
    return QStringList{kScheme, QString::number(iterations), QString::fromLatin1(salt.toBase64()),
                       QString::fromLatin1(hash.toBase64())}
        .join(QLatin1Char('$'));
}

bool VerifyPassword(const QByteArray &password, const QString &stored) {
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts[0] != kScheme)
        return false;
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < 1 || iterations > 10'000'000)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts[3].toLatin1());
    if (salt.isEmpty() || expected.size() != kHashBytes)
        return false;
    const QByteArray actual = Derive(password, salt, iterations);
    return CRYPTO_memcmp(actual.constData(), expected.constData(), kHashBytes) == 0;
}

int HashIterations(const QString &stored) {
    const QStringList parts = stored.split(QLatin1Char('$'));
    return parts.size() == 4 && parts[0] == kScheme ? parts[1].toInt() : 0;
}
