#pragma once

#include <QSslConfiguration>
#include <QString>
#include <QStringList>

// Paths of the certificate files the TLS listeners use.
struct CertificateFiles {
    QString caFile;          // the CA certificate clients may trust (empty when given by hand)
    QString certificateFile; // the server certificate, PEM
    QString keyFile;         // the server's private key, PEM
};

// Creates a self-signed CA and a server certificate signed by it in the folder, unless the
// files are already there; names are the DNS names and addresses the certificate covers.
CertificateFiles EnsureServerCertificates(const QString &folder, const QStringList &names);
// The TLS configuration of a listener from the PEM files; raises AppError when unreadable.
QSslConfiguration LoadServerTlsConfiguration(const CertificateFiles &files);
