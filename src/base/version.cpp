#include "base/version.h"

#include <QStringList>

QString ProgramVersion() {
    return QStringLiteral(TELLAVO_PRODUCT_VERSION);
}

QString VersionText(const QString &version) {
    const QStringList n = version.split(u'.');
    return QStringLiteral("%1.%2, release %3, build %4")
        .arg(n.value(0, QStringLiteral("0")), n.value(1, QStringLiteral("0")),
             n.value(2, QStringLiteral("0")), n.value(3, QStringLiteral("0")));
}
