// A developer program: a grid frame over a generated pupils table (100 000 rows unless a row
// count is given), to see and time sorting, finding, counting and column moves by hand.
// "grid_demo ROWS FILE.png" saves a picture of the window instead of running.
#include "gridfixture.h"

#include "grid/controls/datasource.h"
#include "grid/dbgridex.h"
#include "grid/gridframe.h"
#include "seam/widgetseam.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QStatusBar>
#include <QToolButton>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    WidgetSeam seam;
    InstallSeam(&seam);
    UseTemporaryDataFolder();
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;

    QElapsedTimer timer;
    timer.start();
    TClientTable table(QStringLiteral("cd_pupils"));
    FillLargePupils(table, rows);
    const qint64 loaded = timer.elapsed();

    QMainWindow window;
    TDataSource source(&table, &window);
    source.setObjectName(QStringLiteral("ds"));
    auto *frame = new Tfrg(&window, QStringLiteral("frpupils"));
    frame->gr->SetColumns(PupilColumns());
    frame->spbfilter->show();
    frame->spbfilter->setToolTip(QStringLiteral("Hodiny: 50 a více"));
    QObject::connect(frame->spbfilter, &QToolButton::clicked, [&] {
        table.SetFilter(QStringLiteral("HOURS>=50"));
        table.SetFiltered(!table.Filtered());
    });
    frame->init(&source, nullptr, QStringLiteral("grid_demo"));
    window.setCentralWidget(frame);
    window.statusBar()->showMessage(
        QStringLiteral("%1 záznamů, načteno za %2 ms").arg(rows).arg(loaded));
    window.resize(1000, 700);
    window.show();
    if (argc > 2) {
        frame->grTitleClick(1);
        QApplication::processEvents();
        return window.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    const int result = app.exec();
    InstallSeam(nullptr);
    return result;
}
