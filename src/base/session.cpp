#include "base/session.h"

#include "seam/seam.h"
#include "lang/textutil.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

int intValue(QStringView name, int fallback) {
    return ParseInteger(SessionValues().value(name)).value_or(fallback);
}

} // namespace

NameValueList &SessionValues() {
    static NameValueList values;
    return values;
}

bool IsSignedIn() {
    return !SessionValues().value(u"sesid").isEmpty();
}

QString SessionIdParam() {
    return QStringLiteral("PHPSESSID=") + SessionValues().value(u"sesid");
}

void SetSessionId(const QString &id) {
    SessionValues().setValue(QStringLiteral("sesid"), id);
}

QString RelayServer() {
    return SessionValues().value(u"p2pserver");
}

int UserType() {
    return intValue(u"usertype", 4);
}

int UserId() {
    return intValue(u"iduser", 0);
}

int JobId() {
    return intValue(u"idjob", 0);
}

QDateTime ParseServerDateTime(const QString &text) {
    static const QRegularExpression form(QStringLiteral(
        "^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?: (\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
        if (date.isValid() && time.isValid())
            return QDateTime(date, time);
    }
    return CurrentSeam().now();
}

QString FormatServerDateTime(const QDateTime &value) {
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString FormatAmount(double number) {
    return QLocale().toString(number, 'f', 2);
}

QString SkypeVersion() {
    return {};
}

ConnectionTarget &CurrentConnectionTarget() {
    static ConnectionTarget target;
    return target;
}
