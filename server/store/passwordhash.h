#pragma once

#include <QByteArray>
#include <QString>

// What an Argon2id hash costs: memory in KiB, passes over it, lanes.
struct HashCost {
    int memoryKiB = 19 * 1024;
    int passes = 2;
    int lanes = 1;
};

// Salted password hashes in two forms. New and changed passwords are stored as Argon2id in
// its usual encoding ("$argon2id$v=19$m=...,t=...,p=...$salt$hash"); the older form,
// "pbkdf2-sha256$iterations$salt$hash" (salt and hash in Base64), is still verified and is
// replaced at the user's next successful sign-in.
QString HashPassword(const QByteArray &password, const HashCost &cost);
// The older form, PBKDF2-HMAC-SHA256 (kept for verifying and for cheaply seeded schools).
QString HashPassword(const QByteArray &password, int iterations);
// True when the password matches the stored hash, in either form; a malformed hash never
// matches.
bool VerifyPassword(const QByteArray &password, const QString &stored);
// Whether a stored hash should be replaced by one of the given cost: every older-form hash,
// and Argon2id hashes that cost less.
bool NeedsNewHash(const QString &stored, const HashCost &cost);
// The iteration count of an older-form hash; 0 for any other.
int HashIterations(const QString &stored);
