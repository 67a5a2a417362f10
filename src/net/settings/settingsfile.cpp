#include "net/settings/settingsfile.h"

#include "base/logging.h"

#include "errors/apperror.h"
#include "lang/textutil.h"

#include <QFile>
#include <QSaveFile>

namespace {

QString fileError(const QString &path, const QString &reason) {
    return QStringLiteral("%1: %2").arg(path, reason);
}

} // namespace

NameValueList ReadNameValueFile(const QString &path) {
    NameValueList values;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        values.setText(FromWin1250(file.readAll()));
    return values;
}

NameValueList ReadNameValueFileForUpdate(const QString &path) {
    NameValueList values;
    QFile file(path);
    if (!file.exists())
        return values;
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(fileError(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(fileError(path, file.errorString()));
    values.setText(FromWin1250(bytes));
    return values;
}

void WriteNameValueFile(const QString &path, const NameValueList &values) {
    QByteArray bytes;
    for (const QString &line : values.lines()) {
        bytes += ToWin1250(line);
        bytes += "\r\n";
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        qCWarning(lcNet).noquote() << "settings file" << path << "not written:" << file.errorString();
        throw AppError(fileError(path, file.errorString()));
    }
}

bool ReadFlag(const NameValueList &values, QStringView name, bool defaultValue) {
    const std::optional<int> number = ParseInteger(values.value(name));
    return number ? *number != 0 : defaultValue;
}

QString FlagText(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

int ReadInteger(const NameValueList &values, QStringView name, int defaultValue) {
    return ParseInteger(values.value(name)).value_or(defaultValue);
}
