// The SHA-256 block functions are deprecated in OpenSSL 3 in favour of the EVP interface,
// whose context copies cost as much as the hashing in PBKDF2's inner loop.
#define OPENSSL_SUPPRESS_DEPRECATED

#include "server/store/passwordhash.h"

#include "errors/apperror.h"

#include <QRegularExpression>
#include <QStringList>
#include <argon2.h>
#include <cstring>
#include <openssl/crypto.h>
#include <openssl/rand.h>
#include <openssl/sha.h>
#include <optional>

namespace {

constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
const QString kScheme = QStringLiteral("pbkdf2-sha256");
constexpr int kMaxMemoryKiB = 1024 * 1024; // a stored hash never makes a sign-in take more

QByteArray RandomSalt() {
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    if (RAND_bytes(reinterpret_cast<unsigned char *>(salt.data()), kSaltBytes) != 1)
        throw AppError(QStringLiteral("no random salt available"));
    return salt;
}

// The cost an Argon2id hash was made with; nullopt when the text is no such hash.
std::optional<HashCost> Argon2Cost(const QString &stored) {
    static const QRegularExpression form(
        QStringLiteral("^\\$argon2id\\$v=19\\$m=(\\d{1,8}),t=(\\d{1,4}),p=(\\d{1,3})\\$"));
    const QRegularExpressionMatch m = form.match(stored);
    if (!m.hasMatch())
        return std::nullopt;
    return HashCost{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()};
}

bool VerifyArgon2(const QByteArray &password, const QString &stored) {
    const std::optional<HashCost> cost = Argon2Cost(stored);
    if (!cost || cost->memoryKiB > kMaxMemoryKiB || cost->passes > 100 || cost->lanes > 16)
        return false;
    const QByteArray encoded = stored.toLatin1();
    return argon2id_verify(encoded.constData(), password.constData(), size_t(password.size())) ==
           ARGON2_OK;
}

// HMAC-SHA256 with the key's inner and outer states computed once: each further message
// costs two compressions.
class HmacSha256 {
public:
    explicit HmacSha256(const QByteArray &key) {
        unsigned char block[SHA256_CBLOCK] = {};
        if (key.size() > SHA256_CBLOCK)
            SHA256(reinterpret_cast<const unsigned char *>(key.constData()), size_t(key.size()),
                   block);
        else if (!key.isEmpty())
            memcpy(block, key.constData(), size_t(key.size()));
        unsigned char pad[SHA256_CBLOCK];
        for (int i = 0; i < SHA256_CBLOCK; ++i)
            pad[i] = block[i] ^ 0x36;
        SHA256_Init(&m_inner);
        SHA256_Update(&m_inner, pad, sizeof pad);
        for (int i = 0; i < SHA256_CBLOCK; ++i)
            pad[i] = block[i] ^ 0x5c;
        SHA256_Init(&m_outer);
        SHA256_Update(&m_outer, pad, sizeof pad);
        OPENSSL_cleanse(block, sizeof block);
        OPENSSL_cleanse(pad, sizeof pad);
    }
    ~HmacSha256() {
        OPENSSL_cleanse(&m_inner, sizeof m_inner);
        OPENSSL_cleanse(&m_outer, sizeof m_outer);
    }
    HmacSha256(const HmacSha256 &) = delete;
    HmacSha256 &operator=(const HmacSha256 &) = delete;

    // The MAC of the two parts one after the other into out (32 bytes).
    void mac(const unsigned char *a, size_t aSize, const unsigned char *b, size_t bSize,
             unsigned char *out) const {
        SHA256_CTX c = m_inner;
        SHA256_Update(&c, a, aSize);
        SHA256_Update(&c, b, bSize);
        SHA256_Final(out, &c);
        c = m_outer;
        SHA256_Update(&c, out, SHA256_DIGEST_LENGTH);
        SHA256_Final(out, &c);
        OPENSSL_cleanse(&c, sizeof c);
    }

private:
    SHA256_CTX m_inner;
    SHA256_CTX m_outer;
};

// PBKDF2-HMAC-SHA256 of one block (the hash is as long as a SHA-256 digest).
QByteArray Derive(const QByteArray &password, const QByteArray &salt, int iterations) {
    static_assert(kHashBytes == SHA256_DIGEST_LENGTH);
    const HmacSha256 hmac(password);
    const unsigned char blockIndex[4] = {0, 0, 0, 1};
    unsigned char u[SHA256_DIGEST_LENGTH];
    hmac.mac(reinterpret_cast<const unsigned char *>(salt.constData()), size_t(salt.size()),
             blockIndex, sizeof blockIndex, u);
    QByteArray out(reinterpret_cast<const char *>(u), kHashBytes);
    unsigned char *t = reinterpret_cast<unsigned char *>(out.data());
    for (int i = 1; i < iterations; ++i) {
        hmac.mac(u, sizeof u, nullptr, 0, u);
        for (int j = 0; j < kHashBytes; ++j)
            t[j] ^= u[j];
    }
    OPENSSL_cleanse(u, sizeof u);
    return out;
}

} // namespace

QString HashPassword(const QByteArray &password, const HashCost &cost) {
    const QByteArray salt = RandomSalt();
    const auto t = uint32_t(cost.passes), m = uint32_t(cost.memoryKiB), p = uint32_t(cost.lanes);
    QByteArray encoded(qsizetype(argon2_encodedlen(t, m, p, kSaltBytes, kHashBytes, Argon2_id)),
                       '\0');
    const int result = argon2id_hash_encoded(t, m, p, password.constData(), size_t(password.size()),
                                             salt.constData(), kSaltBytes, kHashBytes,
                                             encoded.data(), size_t(encoded.size()));
    if (result != ARGON2_OK)
        throw AppError(QStringLiteral("password hashing failed: %1")
                           .arg(QString::fromLatin1(argon2_error_message(result))));
    return QString::fromLatin1(encoded.constData()); // up to its terminating NUL
}

bool NeedsNewHash(const QString &stored, const HashCost &cost) {
    const std::optional<HashCost> old = Argon2Cost(stored);
    return !old || old->memoryKiB < cost.memoryKiB || old->passes < cost.passes;
}

QString HashPassword(const QByteArray &password, int iterations) {
    const QByteArray salt = RandomSalt();
    const QByteArray hash = Derive(password, salt, iterations);
    return QStringList{kScheme, QString::number(iterations), QString::fromLatin1(salt.toBase64()),
                       QString::fromLatin1(hash.toBase64())}
        .join(QLatin1Char('$'));
}

bool VerifyPassword(const QByteArray &password, const QString &stored) {
    if (stored.startsWith(QLatin1String("$argon2id$")))
        return VerifyArgon2(password, stored);
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
