#include "lang/texts.h"

#include "errors/apperror.h"
#include "lang/owntexts.h"
#include "lang/qttranslations.h"
#include "lang/texttables.h"

#include <QLocale>

namespace {

// Language identifiers by index 1..3; row 1 is cleared so that index 1 is never used.
constexpr int kLanguageIds[3] = {0, 0x0405, 0x041B};

int g_languageIndex = LangCzech;
StandardTableTexts g_tableTexts;

QString entry(const char *const *table, int number) {
    return QString::fromUtf8(table[number - 1]);
}

} // namespace

int LanguageIndex() {
    return g_languageIndex;
}

void SetLanguageIndex(int index) {
    g_languageIndex = index;
    TQtTranslations::Follow(index);
}

int LanguageIdentifier(int index) {
    return index >= 1 && index <= 3 ? kLanguageIds[index - 1] : 0;
}

int SystemLanguageIdentifier() {
    const QLocale locale = QLocale::system();
    switch (locale.language()) {
    case QLocale::Czech:
        return 0x0405;
    case QLocale::Slovak:
        return 0x041B;
    case QLocale::English:
        return locale.territory() == QLocale::UnitedKingdom ? 0x0809 : 0x0409;
    default:
        return 0x0400 | int(locale.language() & 0xff);
    }
}

int DetermineLanguage(const QString &langIdSetting, int systemLanguageId) {
    bool ok = false;
    int value = langIdSetting.toInt(&ok);
    if (!ok || value < 1 || value > 3 || LanguageIdentifier(value) == 0)
        value = -1;
    for (int row = 1; value == -1 && row <= 3; ++row) {
        if (LanguageIdentifier(row) == systemLanguageId)
            value = row;
    }
    g_languageIndex = value == -1 ? LangCzech : value;
    TQtTranslations::Follow(g_languageIndex);
    return g_languageIndex;
}

QString CommonText(int number) {
    const QString text =
        number >= 1 && number <= texttables::CommonCount
            ? entry(g_languageIndex == LangSlovak ? texttables::CommonSk : texttables::CommonCs,
                    number)
            : QString();
    if (text.isEmpty())
        throw AppError(QStringLiteral("Common language index %1error").arg(number));
    return text;
}

QString CommonTextCzech(int number) {
    if (number < 1 || number > texttables::CommonCount || !*texttables::CommonCs[number - 1])
        throw AppError(QStringLiteral("Common language index %1error").arg(number));
    return entry(texttables::CommonCs, number);
}

QString AppText(int number) {
    if (number >= texttables::OwnTextFirst && number <= texttables::OwnTextLast) {
        if (const texttables::OwnText *own = texttables::FindOwnText(number))
            return QString::fromUtf8(g_languageIndex == LangSlovak ? own->sk : own->cs);
    }
    if (number < 1 || number > texttables::AppCount)
        throw AppError(QStringLiteral("Language index %1error").arg(number));
    return entry(g_languageIndex == LangSlovak ? texttables::AppSk : texttables::AppCs, number);
}

const StandardTableTexts &TableTexts() {
    return g_tableTexts;
}

void ReplaceStandardTableTexts() {
    g_tableTexts.invalidDate = CommonTextCzech(77);
    g_tableTexts.invalidFieldFloat = CommonTextCzech(20);
    g_tableTexts.deleteRecordQuestion = CommonTextCzech(21);
}
