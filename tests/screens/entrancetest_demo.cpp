// A developer program: the entrance test with the shipped welcome texts and items, in a
// temporary installation folder. "entrancetest_demo [sk] [PAGE FILE.png]..." saves pictures
// of the given pages (0 the welcome page, 1 to 4 the test pages) instead of running; on the
// test pages the first items are answered so that the choice lists show.
#include "base/locations.h"
#include "globalservices.h"
#include "lang/texts.h"
#include "screens/entrancetest/entrancetest.h"
#include "seam/widgetseam.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

void showPage(Tfentrancetest &dialog, int page) {
    auto *back = dialog.findChild<QPushButton *>(QStringLiteral("btn_back"));
    auto *next = dialog.findChild<QPushButton *>(QStringLiteral("btn_next"));
    while (dialog.currentPage() > page)
        back->click();
    while (dialog.currentPage() < page)
        next->click();
}

void answerSome(Tfentrancetest &dialog, int page) {
    for (int row = 0; row < 4; ++row) {
        const int number = (page - 1) * Tfentrancetest::ItemsPerPage + row + 1;
        if (auto *answers = dialog.findChild<QComboBox *>(QStringLiteral("cb_item%1").arg(number)))
            answers->setCurrentIndex((number * 3) % answers->count());
    }
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    WidgetSeam seam;
    InstallSeam(&seam);
    QStringList args = app.arguments().mid(1);
    SetLanguageIndex(!args.isEmpty() && args.first() == QStringLiteral("sk") ? LangSlovak
                                                                             : LangCzech);
    if (!args.isEmpty() && args.first() == QStringLiteral("sk"))
        args.removeFirst();
    QTemporaryDir dir;
    InitLocations(dir.filePath(QStringLiteral("tellavo")));
    for (const char *name : {"welcome2.rtf", "welcome3.rtf", "entrancetest.txt"})
        QFile::copy(QStringLiteral(TELLAVO_ASSETS "/") + QString::fromLatin1(name),
                    dir.filePath(QString::fromLatin1(name)));

    Tfentrancetest dialog(GlobalServices());
    dialog.LoadContent();
    if (args.size() < 2) {
        dialog.exec();
        return 0;
    }
    dialog.show();
    for (qsizetype i = 0; i + 1 < args.size(); i += 2) {
        const int page = args[i].toInt();
        showPage(dialog, page);
        if (page > 0)
            answerSome(dialog, page);
        QApplication::processEvents();
        if (!dialog.grab().save(args[i + 1]))
            return 1;
    }
    return 0;
}
