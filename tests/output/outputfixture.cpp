#include "outputfixture.h"

#include "wire/tablecontent.h"
#include "grid/standardformats.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <csignal>
#include <sys/resource.h>

namespace {

TFieldDef field(const char *name, TFieldType type, int width = 0, const char *subtype = "") {
    TFieldDef def = MakeField(QString::fromLatin1(name), type, width);
    def.subtype = QString::fromLatin1(subtype);
    return def;
}

void applyFormats(TClientTable &table) {
    for (int i = 0; i < table.FieldCount(); ++i)
        ApplyStandardFormats(table.FieldDef(i));
}

} // namespace

void FillSample(TClientTable &table) {
    table.CreateDataSet(
        {field("ID", TFieldType::I4), field("NAME", TFieldType::String, 40),
         field("NOTE", TFieldType::BinHex, 0, "Text"), field("PRICE", TFieldType::R8),
         field("AMOUNT", TFieldType::R8, 0, "Money"), field("RATE", TFieldType::Fixed, 10),
         field("BIG", TFieldType::I8), field("LEVEL", TFieldType::I2),
         field("ACTIVE", TFieldType::Boolean), field("BORN", TFieldType::Date),
         field("WHENHOUR", TFieldType::DateTime), field("STARTS", TFieldType::Time)});
    const auto date = [](int y, int m, int d) { return TValue::FromDate(QDate(y, m, d)); };
    table.AppendRecord({TValue::FromInteger(1), TValue(), TValue(), TValue::FromFloat(1234.5),
                        TValue::FromFloat(10), TValue::FromFloat(0.25),
                        TValue::FromInteger(9000000000), TValue::FromInteger(3),
                        TValue::FromBool(true), date(1990, 3, 5),
                        TValue::FromDateTime(QDateTime(QDate(2026, 1, 15), QTime(9, 30))),
                        TValue::FromDateTime(ToDateTimeMs(QDate(1970, 1, 1), QTime(8, 0)))});
    table.AppendRecord({TValue::FromInteger(22),
                        TValue::FromText(QStringLiteral("Žluťoučký kůň; úpěl|ódy")),
                        TValue::FromText(QStringLiteral("první řádek\r\ndruhý řádek")),
                        TValue::FromFloat(-0.5), TValue(), TValue::FromFloat(1.125), TValue(),
                        TValue(), TValue::FromBool(false), TValue(), TValue(), TValue()});
    table.AppendRecord({TValue::FromInteger(333),
                        TValue::FromText(QStringLiteral("<b> & \"co\" 'x'")),
                        TValue::FromText(QStringLiteral("jen LF\njen CR\rkonec")), TValue(),
                        TValue::FromFloat(5.5), TValue(), TValue::FromInteger(-1),
                        TValue::FromInteger(-7), TValue(), date(2001, 12, 31), TValue(), TValue()});
    table.MergeChangeLog();
    applyFormats(table);
    table.First();
}

Tdboutputsfields SampleItems() {
    Tdboutputsfields items;
    const auto add = [&items](const char *name, const char *label, int width, bool summed) {
        Tdboutputsfield item;
        item.name = QString::fromLatin1(name);
        item.label = QString::fromUtf8(label);
        item.width = width;
        item.summed = summed;
        items.append(item);
    };
    add("NAME", "Jméno; a|b", 150, false);
    add("NOTE", "Poznámka <&>", 120, false);
    add("ID", "Číslo", 50, true);
    add("PRICE", "Cena", 80, true);
    add("AMOUNT", "Částka", 80, false);
    add("RATE", "Sazba", 60, false);
    add("BIG", "Velké", 90, false);
    add("LEVEL", "Úroveň", 40, false);
    add("ACTIVE", "Aktivní", 50, false);
    add("BORN", "Narozen", 80, false);
    add("WHENHOUR", "Kdy", 120, false);
    add("STARTS", "Začátek", 60, false);
    return items;
}

void FillRows(TClientTable &table, int rows) {
    static const char *const first[] = {"Adam", "Bára", "Cyril", "Dana", "Emil",  "František",
                                        "Gita", "Hana", "Ivan",  "Jana", "Karel", "Lenka"};
    static const char *const last[] = {"Novák",  "Svoboda", "Dvořák", "Černý", "Procházka",
                                       "Kučera", "Veselý",  "Horák",  "Němec", "Šťastný"};
    TTableContent content;
    content.fields = {field("ID", TFieldType::I4),
                      field("NAME", TFieldType::String, 40),
                      field("HOURS", TFieldType::I4),
                      field("PRICE", TFieldType::R8),
                      field("WHENHOUR", TFieldType::DateTime),
                      field("NOTE", TFieldType::BinHex, 0, "Text")};
    content.store.reset(content.fields);
    content.store.reserve(rows, qsizetype(rows) * 30);
    QRandomGenerator random(20260115);
    const TDateTimeMs start = ToDateTimeMs(QDate(2026, 1, 1));
    for (int i = 0; i < rows; ++i) {
        const quint32 record = content.store.addRecord();
        content.store.setInteger(record, 0, i + 1);
        content.store.setText(record, 1,
                              QString::fromUtf8(last[random.bounded(10)]) + u' ' +
                                  QString::fromUtf8(first[random.bounded(12)]));
        content.store.setInteger(record, 2, random.bounded(100));
        content.store.setFloat(record, 3, random.bounded(100000) / 100.0);
        content.store.setInteger(record, 4, start.ms + qint64(random.bounded(365 * 24)) * 3600000);
        if (i % 10 == 0)
            content.store.setText(record, 5, QStringLiteral("pozn\r\ndruhý řádek"));
        TRowEntry row;
        row.record = record;
        content.rows.push_back(row);
    }
    table.LoadFromBytes(WriteDataPacket(content, TPacketEncoding::Utf8));
    applyFormats(table);
}

TFieldDef memoField(const QString &name) {
    TFieldDef def = MakeField(name, TFieldType::BinHex);
    def.subtype = QStringLiteral("Text");
    return def;
}

void LoadRows(TClientTable &table, const QList<TFieldDef> &fields,
              const QList<QList<TValue>> &rows) {
    TTableContent content;
    content.fields = fields;
    content.store.reset(content.fields);
    for (const QList<TValue> &values : rows) {
        const quint32 record = content.store.addRecord();
        for (int f = 0; f < values.size(); ++f)
            content.store.setValue(record, f, values[f]);
        TRowEntry row;
        row.record = record;
        content.rows.push_back(row);
    }
    table.LoadFromBytes(WriteDataPacket(content, TPacketEncoding::Utf8));
    table.First();
}

QByteArray ReadFileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Golden(const QString &name) {
    return ReadFileBytes(QStringLiteral(TELLAVO_OUTPUT_FIXTURES "/") + name);
}

void OfferGolden(const QString &name, const QByteArray &bytes) {
    if (qEnvironmentVariableIsEmpty("TELLAVO_UPDATE_GOLDEN"))
        return;
    QFile file(QDir::current().filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

int RunTool(const QString &program, const QStringList &arguments, QByteArray *output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return -1;
    process.waitForFinished(120000);
    if (output)
        *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString PythonWith(const QString &module) {
    // The distribution's interpreter first: its packages are where the system installs them.
    for (const QString &python : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")})
        if (RunTool(python, {QStringLiteral("-c"), QStringLiteral("import ") + module}) == 0)
            return python;
    return QString();
}

TFileSizeLimit::TFileSizeLimit(qint64 bytes) {
    // Past the limit a write fails with EFBIG instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_soft = qint64(limit.rlim_cur);
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

TFileSizeLimit::~TFileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_soft);
    setrlimit(RLIMIT_FSIZE, &limit);
}
