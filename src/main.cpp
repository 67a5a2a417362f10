// The Tellavo desktop client: program start.
#include "app/tapp.h"
#include "base/locations.h"
#include "base/logging.h"
#include "base/namevaluelist.h"
#include "base/switches.h"
#include "lang/messagebox.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "lang/widgetseam.h"

#include <QApplication>
#include <QFile>

namespace {

// The LangID line of the settings file, read before any window exists.
QString settingsLangId() {
    QFile file(AppLocations().settingsFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    NameValueList settings;
    settings.setText(FromWin1250(file.readAll()));
    return settings.value(u"LangID");
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tellavo"));
    InitLocations(QCoreApplication::applicationFilePath());
    ReplaceStandardTableTexts();
    DetermineLanguage(settingsLangId(), SystemLanguageIdentifier());
    WidgetSeam seam;
    InstallSeam(&seam);
    const StartSwitches switches = ParseSwitches(QCoreApplication::arguments());
    const QString logFile =
        switches.logFile.isEmpty() ? qEnvironmentVariable(kLogFileVariable) : switches.logFile;
    if (!StartLogFile(logFile))
        AppMessageBox(AppText(1000).arg(logFile), mtWarning, mbOK);
    TApp program(switches);
    return program.run();
}
