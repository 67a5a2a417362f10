#include "server/http/certificates.h"

#include "errors/apperror.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QSaveFile>
#include <QSslCertificate>
#include <QSslKey>
#include <memory>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace {

using KeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertPtr = std::unique_ptr<X509, decltype(&X509_free)>;
using BioPtr = std::unique_ptr<BIO, decltype(&BIO_free)>;

void Check(bool ok, const char *what) {
    if (!ok)
        throw AppError(QStringLiteral("certificate creation failed: %1").arg(QLatin1String(what)));
}

KeyPtr NewKey() {
    KeyPtr key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"), EVP_PKEY_free);
    Check(key != nullptr, "key generation");
    return key;
}

void AddExtension(X509 *cert, X509 *issuer, int nid, const QByteArray &value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION *ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.constData());
    Check(ext != nullptr, "extension");
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

CertPtr NewCertificate(EVP_PKEY *key, const char *commonName, long serial, int days) {
    CertPtr cert(X509_new(), X509_free);
    Check(cert != nullptr, "certificate");
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 60L * 60 * 24 * days);
    X509_set_pubkey(cert.get(), key);
    X509_NAME *name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char *>("Tellavo"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char *>(commonName), -1, -1, 0);
    return cert;
}

QByteArray Pem(int (*writer)(BIO *, void *), void *object) {
    BioPtr bio(BIO_new(BIO_s_mem()), BIO_free);
    Check(writer(bio.get(), object) == 1, "PEM output");
    char *data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return QByteArray(data, size);
}

QByteArray CertPem(X509 *cert) {
    return Pem([](BIO *b, void *c) { return PEM_write_bio_X509(b, static_cast<X509 *>(c)); }, cert);
}

QByteArray KeyPem(EVP_PKEY *key) {
    return Pem(
        [](BIO *b, void *k) {
            return PEM_write_bio_PrivateKey(b, static_cast<EVP_PKEY *>(k), nullptr, nullptr, 0,
                                            nullptr, nullptr);
        },
        key);
}

void WriteWhole(const QString &path, const QByteArray &bytes, bool secret) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw AppError(QStringLiteral("cannot write %1").arg(path));
    if (secret)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!file.commit())
        throw AppError(QStringLiteral("cannot write %1").arg(path));
}

QByteArray AltNames(const QStringList &names) {
    QStringList entries;
    for (const QString &n : names) {
        const QString entry =
            QHostAddress(n).isNull() ? QStringLiteral("DNS:") + n : QStringLiteral("IP:") + n;
        if (!entries.contains(entry))
            entries << entry;
    }
    return entries.join(QLatin1Char(',')).toLatin1();
}

} // namespace

CertificateFiles EnsureServerCertificates(const QString &folder, const QStringList &names) {
    CertificateFiles files{folder + "/ca.pem", folder + "/server.pem", folder + "/server.key"};
    if (QFile::exists(files.caFile) && QFile::exists(files.certificateFile) &&
        QFile::exists(files.keyFile))
        return files;
    if (!QDir().mkpath(folder))
        throw AppError(QStringLiteral("cannot create %1").arg(folder));

    KeyPtr caKey = NewKey();
    CertPtr ca = NewCertificate(caKey.get(), "Tellavo reference server CA", 1, 3650);
    X509_set_issuer_name(ca.get(), X509_get_subject_name(ca.get()));
    AddExtension(ca.get(), ca.get(), NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(ca.get(), ca.get(), NID_key_usage, "critical,keyCertSign,cRLSign");
    AddExtension(ca.get(), ca.get(), NID_subject_key_identifier, "hash");
    Check(X509_sign(ca.get(), caKey.get(), EVP_sha256()) > 0, "CA signature");

    KeyPtr serverKey = NewKey();
    const QByteArray commonName = names.value(0, QStringLiteral("localhost")).toLatin1();
    CertPtr server = NewCertificate(serverKey.get(), commonName.constData(), 2, 825);
    X509_set_issuer_name(server.get(), X509_get_subject_name(ca.get()));
    AddExtension(server.get(), ca.get(), NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(server.get(), ca.get(), NID_key_usage, "critical,digitalSignature,keyAgreement");
    AddExtension(server.get(), ca.get(), NID_ext_key_usage, "serverAuth");
    AddExtension(server.get(), ca.get(), NID_subject_alt_name, AltNames(names));
    AddExtension(server.get(), ca.get(), NID_authority_key_identifier, "keyid");
    Check(X509_sign(server.get(), caKey.get(), EVP_sha256()) > 0, "server signature");

    WriteWhole(folder + "/ca.key", KeyPem(caKey.get()), true);
    WriteWhole(files.keyFile, KeyPem(serverKey.get()), true);
    WriteWhole(files.certificateFile, CertPem(server.get()) + CertPem(ca.get()), false);
    WriteWhole(files.caFile, CertPem(ca.get()), false);
    return files;
}

QSslConfiguration LoadServerTlsConfiguration(const CertificateFiles &files) {
    QFile certFile(files.certificateFile);
    QFile keyFile(files.keyFile);
    if (!certFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("cannot read the server certificate or key"));
    const QList<QSslCertificate> chain = QSslCertificate::fromData(certFile.readAll(), QSsl::Pem);
    const QByteArray keyBytes = keyFile.readAll();
    QSslKey key(keyBytes, QSsl::Ec, QSsl::Pem);
    if (key.isNull())
        key = QSslKey(keyBytes, QSsl::Rsa, QSsl::Pem);
    if (chain.isEmpty() || key.isNull())
        throw AppError(QStringLiteral("the server certificate or key is not valid PEM"));
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificateChain(chain);
    config.setPrivateKey(key);
    config.setPeerVerifyMode(QSslSocket::VerifyNone);
    config.setProtocol(QSsl::TlsV1_2OrLater);
    return config;
}
