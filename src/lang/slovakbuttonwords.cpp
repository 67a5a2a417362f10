#include "lang/slovakbuttonwords.h"

#include <QHash>

QString SlovakButtonWords::translate(const char *context, const char *source, const char *,
                                     int) const {
    if (qstrcmp(context, "QPlatformTheme") != 0)
        return QString();
    static const QHash<QByteArray, QString> words{
        {"OK", QStringLiteral("OK")},
        {"Save", QStringLiteral("Uložiť")},
        {"Save All", QStringLiteral("Uložiť všetko")},
        {"Open", QStringLiteral("Otvoriť")},
        {"&Yes", QStringLiteral("Án&o")},
        {"Yes to &All", QStringLiteral("Áno &všetkým")},
        {"&No", QStringLiteral("&Nie")},
        {"N&o to All", QStringLiteral("Ni&e všetkým")},
        {"Abort", QStringLiteral("Prerušiť")},
        {"Retry", QStringLiteral("Opakovať")},
        {"Ignore", QStringLiteral("Ignorovať")},
        {"Close", QStringLiteral("Zavrieť")},
        {"Cancel", QStringLiteral("Zrušiť")},
        {"Discard", QStringLiteral("Zahodiť")},
        {"Help", QStringLiteral("Pomocník")},
        {"Apply", QStringLiteral("Použiť")},
        {"Reset", QStringLiteral("Obnoviť")},
        {"Restore Defaults", QStringLiteral("Obnoviť predvolené")},
    };
    return words.value(QByteArray(source));
}
