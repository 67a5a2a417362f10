#include "gridfixture.h"

#include "base/locations.h"
#include "wire/packetwriter.h"
#include "wire/tablecontent.h"

#include <QApplication>
#include <QDir>
#include <QRandomGenerator>
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

void FillLargePupils(TClientTable &table, int rows) {
    static const char *const first[] = {"Adam", "Bára", "Cyril", "Dana", "Emil",  "Fanda",
                                        "Gita", "Hana", "Ivan",  "Jana", "Karel", "Lenka"};
    static const char *const last[] = {"Novák",  "Svoboda", "Dvořák", "Černý", "Procházka",
                                       "Kučera", "Veselý",  "Horák",  "Němec", "Marek"};
    TTableContent content;
    TFieldDef note = MakeField("NOTE", TFieldType::BinHex);
    note.subtype = "Text";
    content.fields = {MakeField("ID", TFieldType::I4), MakeField("NAME", TFieldType::String, 40),
                      MakeField("HOURS", TFieldType::I4),
                      MakeField("WHENHOUR", TFieldType::DateTime), note};
    content.store.reset(content.fields);
    content.store.reserve(rows, qsizetype(rows) * 20);
    QRandomGenerator random(20090305);
    const TDateTimeMs start = ToDateTimeMs(QDate(2009, 1, 1));
    for (int i = 0; i < rows; ++i) {
        const quint32 record = content.store.addRecord();
        const QString name = QString::fromUtf8(last[random.bounded(10)]) + u' ' +
                             QString::fromUtf8(first[random.bounded(12)]) + u' ' +
                             QString::number(random.bounded(1000));
        content.store.setInteger(record, 0, i + 1);
        content.store.setText(record, 1, name);
        content.store.setInteger(record, 2, random.bounded(100));
        content.store.setInteger(record, 3, start.ms + qint64(random.bounded(365 * 24)) * 3600000);
        if (i % 10 == 0)
            content.store.setText(record, 4, QStringLiteral("pozn\r\ndruhý řádek"));
        TRowEntry row;
        row.record = record;
        content.rows.push_back(row);
    }
    table.LoadFromBytes(WriteDataPacket(content, TPacketEncoding::Utf8));
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
