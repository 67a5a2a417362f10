// The Tellavo desktop client: program start.
#include "app/locations.h"
#include "app/namevaluelist.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "lang/widgetseam.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>

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
    InitLocations(QCoreApplication::applicationFilePath());
    ReplaceStandardTableTexts();
    DetermineLanguage(settingsLangId(), SystemLanguageIdentifier());
    WidgetSeam seam;
    InstallSeam(&seam);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tellavo"));
    window.setCentralWidget(new QLabel(AppText(164), &window));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
