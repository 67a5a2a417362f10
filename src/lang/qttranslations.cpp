#include "lang/qttranslations.h"

#include "lang/slovakbuttonwords.h"
#include "lang/texts.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

// The installed catalogue; the application holds only a pointer to it.
std::unique_ptr<QTranslator> g_installed;
std::unique_ptr<QTranslator> g_supplement;
int g_installedLanguage = 0;

QLocale localeOf(int languageIndex) {
    return languageIndex == LangSlovak ? QLocale(QLocale::Slovak, QLocale::Slovakia)
                                       : QLocale(QLocale::Czech, QLocale::CzechRepublic);
}

} // namespace

QString TQtTranslations::Folder() {
    const QString own = qEnvironmentVariable("TELLAVO_QT_TRANSLATIONS");
    return own.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : own;
}

bool TQtTranslations::Follow(int languageIndex) {
    if (!QCoreApplication::instance())
        return false;
    if (g_installed && g_installedLanguage == languageIndex)
        return true;
    auto translator = std::make_unique<QTranslator>();
    // "qt" is Qt's catalogue of catalogues: it brings qtbase, qtmultimedia and the others.
    if (!translator->load(localeOf(languageIndex), QStringLiteral("qt"), QStringLiteral("_"),
                          Folder())) {
        qWarning().noquote() << "Qt's own texts stay in English: no catalogue for"
                             << localeOf(languageIndex).name() << "in" << Folder();
        return false;
    }
    if (g_installed)
        QCoreApplication::removeTranslator(g_installed.get());
    if (g_supplement)
        QCoreApplication::removeTranslator(g_supplement.get());
    // The last installed is asked first: the catalogue, then the words it lacks.
    g_supplement.reset(languageIndex == LangSlovak ? new SlovakButtonWords : nullptr);
    if (g_supplement)
        QCoreApplication::installTranslator(g_supplement.get());
    QCoreApplication::installTranslator(translator.get());
    g_installed = std::move(translator);
    g_installedLanguage = languageIndex;
    return true;
}
