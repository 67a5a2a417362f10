// A second instance of the program for the timetable tests: signs in to a running reference
// server as a client, opens the timetable on a day and books one lesson through the screen,
// answering the questions with OK. "timetable_peer PORT LOGIN LESSONID YYYY-MM-DD"; exit
// code 0 when the booking was confirmed, otherwise 1 with the reason on stderr.
#include "app/tapp.h"
#include "base/locations.h"
#include "base/session.h"
#include "data/dm.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/settings/scramble.h"
#include "net/settings/settings.h"
#include "screens/timetable/month/monthcalendar.h"
#include "screens/timetable/tfrtimetable.h"
#include "scriptedseam.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cstdio>

namespace {

int fail(const QString &why) {
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return 1;
}

void writeSettings(const QString &port, const QString &login) {
    QFile ini(AppLocations().settingsFile);
    if (!ini.open(QIODevice::WriteOnly))
        return;
    ini.write(ToWin1250(QStringLiteral("CentralServer=127.0.0.1:%1\r\nCentralServerPath=/tellavo/"
                                       "client.php\r\nCentralServerSSL=0\r\nAutoConnect=0\r\n"
                                       "LoginName=%2\r\nLoginPass=%3\r\n")
                            .arg(port, login, ScrambleText(login, login))));
}

void click(Tfmain *main, const char *name) {
    if (QWidget *button = main->findChild<QWidget *>(name))
        QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() != 5)
        return fail(QStringLiteral("usage: timetable_peer PORT LOGIN LESSONID YYYY-MM-DD"));
    ScriptedSeam seam;
    seam.clock = QDateTime::currentDateTime();
    SetLanguageIndex(LangCzech);
    QTemporaryDir dir;
    InitLocations(dir.path() + QStringLiteral("/tellavo"));
    writeSettings(args[1], args[2]);
    LoadSettings();
    TApp app{StartSwitches{}};
    app.createWindows();
    Tfmain *main = app.mainWindow();
    main->show();
    click(main, "im_connect");
    if (!IsSignedIn()) // the first sign-in of an installation brings the book catalogue
        click(main, "im_connect");
    if (!IsSignedIn())
        return fail(QStringLiteral("not signed in: ") + seam.boxTexts().join(u'|'));
    click(main, "im_timetable");
    auto *screen = static_cast<Tfrtimetable *>(main->screen(u"timetable"));
    screen->cal->SetDate(QDate::fromString(args[4], Qt::ISODate));
    if (!dm().cd_timetable.Locate(QStringLiteral("IDTIMETABLE"),
                                  {TValue::FromInteger(args[3].toLongLong())}))
        return fail(QStringLiteral("lesson %1 is not listed").arg(args[3]));
    seam.boxes.clear();
    screen->spb_reserve_new->click();
    const QStringList shown = seam.boxTexts();
    click(main, "im_connect");
    if (shown.value(1) != AppText(356))
        return fail(QStringLiteral("booking not confirmed: ") + shown.join(u'|'));
    return 0;
}
