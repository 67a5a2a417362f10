// The Tellavo desktop client: program start.
#include "app/buttonart.h"
#include "app/tapp.h"
#include "base/locations.h"
#include "base/logging.h"
#include "base/namevaluelist.h"
#include "base/switches.h"
#include "seam/messagebox.h"
#include "lang/programlocale.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "seam/widgetseam.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <memory>

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

// The command line as given, before the application object exists.
QStringList argumentsOf(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char *argv[]) {
    const StartSwitches switches = ParseSwitches(argumentsOf(argc, argv));
    // Asking another instance to close and printing the switches need no display.
    const bool windowless = switches.close || switches.help;
    std::unique_ptr<QCoreApplication> app;
    // The browser of HTML course books shares its graphics contexts with the windows.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (windowless)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tellavo"));
    InitLocations(QCoreApplication::applicationFilePath());
    ReplaceStandardTableTexts();
    DetermineLanguage(settingsLangId(), SystemLanguageIdentifier());
    // Dates and numbers everywhere in the program's language, not the machine's.
    QLocale::setDefault(ProgramLocale());
    if (switches.help) {
        QTextStream(stdout) << AppText(1015) << Qt::endl;
        return 0;
    }
    WidgetSeam seam;
    InstallSeam(&seam);
    const QString logFile =
        switches.logFile.isEmpty() ? qEnvironmentVariable(kLogFileVariable) : switches.logFile;
    if (!StartLogFile(logFile) && !windowless)
        AppMessageBox(AppText(1000).arg(logFile), mtWarning, mbOK);
    if (!windowless)
        QApplication::setWindowIcon(ButtonArt::AppIcon());
    TApp program(switches);
    return program.run();
}
