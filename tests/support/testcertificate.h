#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QString>

// A self-signed certificate for 127.0.0.1 and localhost with its private key, made at test
// time with the openssl command line; null when openssl is missing or failed.
struct TestCertificate {
    QString certificateFile; // PEM, also usable as the trusted CA file
    QString keyFile;
    QSslCertificate certificate;
    QSslKey key;

    bool isNull() const { return certificate.isNull() || key.isNull(); }
};

// Writes cert.pem and key.pem into the folder and loads them.
TestCertificate MakeSelfSignedCertificate(const QString &folder);
