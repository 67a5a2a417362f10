#include "net/clienttls.h"

#include "base/locations.h"

#include <QDir>
#include <QFile>
#include <QSslCertificate>

namespace {

QString caFilePath(const QString &caFile) {
    if (QDir::isAbsolutePath(caFile) || AppLocations().dataFolder.isEmpty())
        return caFile;
    return QDir(AppLocations().dataFolder).filePath(caFile);
}

QList<QSslCertificate> readCertificates(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    QList<QSslCertificate> certificates = QSslCertificate::fromData(data, QSsl::Pem);
    if (certificates.isEmpty())
        certificates = QSslCertificate::fromData(data, QSsl::Der);
    return certificates;
}

} // namespace

QSslConfiguration ClientTlsConfiguration(const AppSettings &settings) {
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setProtocol(QSsl::SecureProtocols);
    if (!settings.tlsVerify) {
        config.setPeerVerifyMode(QSslSocket::VerifyNone);
        return config;
    }
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!settings.caFile.isEmpty())
        config.addCaCertificates(readCertificates(caFilePath(settings.caFile)));
    return config;
}
