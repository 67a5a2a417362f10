#pragma once

#include <QByteArray>
#include <QString>

// Salted PBKDF2-HMAC-SHA256 password hashes, stored as
// "pbkdf2-sha256$iterations$salt$hash" (salt and hash in Base64).
QString HashPassword(const QByteArray &password, int iterations);
// True when the password matches the stored hash; a malformed hash never matches.
bool VerifyPassword(const QByteArray &password, const QString &stored);
// The iteration count of a stored hash; 0 when it is malformed.
int HashIterations(const QString &stored);
