#include "tablefixture.h"

#include <QFile>

TValue I(qint64 value) {
    return TValue::FromInteger(value);
}
TValue F(double value) {
    return TValue::FromFloat(value);
}
TValue S(const QString &value) {
    return TValue::FromText(value);
}
TValue B(bool value) {
    return TValue::FromBool(value);
}
TValue DT(int y, int m, int d, int h, int min, int s, int ms) {
    return TValue::FromDateTime(ToDateTimeMs(QDate(y, m, d), QTime(h, min, s, ms)));
}
TValue Null() {
    return TValue();
}

QByteArray FixtureBytes(const QString &name) {
    QFile file(QStringLiteral(TELLAVO_DATA_FIXTURES "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QList<TFieldDef> LessonFields() {
    return {
        MakeField("IDTIMETABLE", TFieldType::I4),    MakeField("IDTEACHER", TFieldType::I4),
        MakeField("WHENHOUR", TFieldType::DateTime), MakeField("TIMETABLESTATUS", TFieldType::I4),
        MakeField("NAME", TFieldType::String, 40),   MakeField("PRICE", TFieldType::R8)};
}

void FillTable(TClientTable &table, const QList<TFieldDef> &fields,
               const QList<QList<TValue>> &rows) {
    table.CreateDataSet(fields);
    for (const auto &row : rows)
        table.AppendRecord(row);
    table.MergeChangeLog();
    table.First();
}

QList<TValue> Column(TClientTable &table, const QString &field) {
    QList<TValue> values;
    const int index = table.FieldIndex(field);
    for (table.First(); !table.Eof(); table.Next())
        values.append(table.Field(index).Value());
    return values;
}

void PrintTo(const TValue &value, std::ostream *os) {
    static const char *const kinds[] = {"null",     "int",  "float", "text",
                                        "datetime", "bool", "bytes", "unsigned"};
    *os << kinds[value.kind()];
    if (!value.isNull())
        *os << "(" << value.toText().toStdString() << ")";
}

QList<TValue> IdList(std::initializer_list<int> ids) {
    QList<TValue> values;
    for (int id : ids)
        values.append(I(id));
    return values;
}
