#include "gridfixture.h"

#include "app/locations.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

void FillPupils(TClientTable &table, const QStringList &names) {
    TFieldDef note = MakeField("NOTE", TFieldType::BinHex);
    note.subtype = "Text";
    table.CreateDataSet({MakeField("ID", TFieldType::I4), MakeField("NAME", TFieldType::String, 40),
                         MakeField("HOURS", TFieldType::I4),
                         MakeField("WHENHOUR", TFieldType::DateTime), note});
    for (int i = 0; i < names.size(); ++i)
        table.AppendRecord({TValue::FromInteger(100 + i), TValue::FromText(names[i]),
                            TValue::FromInteger(i + 1),
                            TValue::FromDateTime(QDateTime(QDate(2009, 3, 1 + i), QTime(14, 30))),
                            TValue::FromText(QStringLiteral("line one\r\nline two"))});
    table.MergeChangeLog();
    table.First();
}

TColumnList PupilColumns() {
    TColumn hours = MakeColumn("HOURS", "Hodiny", 60);
    hours.alignment = TColumnAlignment::Right;
    return {MakeColumn("ID", "Číslo", 60), MakeColumn("NAME", "Jméno", 120), hours,
            MakeColumn("WHENHOUR", "Kdy", 140), MakeColumn("NOTE", "Poznámka", 120)};
}

QStringList ColumnTexts(const TClientTable &table, int field) {
    QStringList texts;
    const int rows = table.RecordCount();
    for (int pos = 0; pos < rows; ++pos)
        texts.append(table.ValueAt(pos, field).toText());
    return texts;
}

void DoubleClick(QWidget *widget, const QPoint &pos) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
}

void WhenModal(std::function<void(QWidget *dialog)> action) {
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(dialog);
    });
    timer->start();
}

QString UseTemporaryDataFolder() {
    static QTemporaryDir folder;
    static const bool initialised = [] {
        InitLocations(QDir(folder.path()).filePath(QStringLiteral("tellavo")));
        return true;
    }();
    (void)initialised;
    return folder.path();
}
