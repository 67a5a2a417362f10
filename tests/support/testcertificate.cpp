#include "testcertificate.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TestCertificate MakeSelfSignedCertificate(const QString &folder) {
    TestCertificate result;
    result.certificateFile = QDir(folder).filePath(QStringLiteral("cert.pem"));
    result.keyFile = QDir(folder).filePath(QStringLiteral("key.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost"),
                   QStringLiteral("-keyout"), result.keyFile, QStringLiteral("-out"),
                   result.certificateFile});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
        return result;
    result.certificate = QSslCertificate(readAll(result.certificateFile), QSsl::Pem);
    result.key = QSslKey(readAll(result.keyFile), QSsl::Ec, QSsl::Pem);
    return result;
}
