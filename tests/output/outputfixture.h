#pragma once

// Tables and helpers shared by the output tests.
#include "data/clienttable.h"
#include "output/outputitems.h"

#include <QByteArray>
#include <QString>

// The sample list of the format tests: every field type, Czech text, an empty first value,
// a two-line memo, ";" "|" "<" "&" in values, three rows. The grid's standard display
// formats are applied.
void FillSample(TClientTable &table);
// The items of the sample list: NAME, NOTE, ID (summed), PRICE (summed), then the rest.
Tdboutputsfields SampleItems();
// A generated list of the benchmark shape: ID, NAME (Czech), HOURS, PRICE, WHENHOUR, NOTE.
void FillRows(TClientTable &table, int rows);

// A memo field (long text): the kind of field that holds what users paste, control characters
// included.
TFieldDef memoField(const QString &name);

// Loads rows as a server's packet delivers them: values that a user could not type (control
// characters in memos) arrive this way.
void LoadRows(TClientTable &table, const QList<TFieldDef> &fields,
              const QList<QList<TValue>> &rows);

QByteArray ReadFileBytes(const QString &path);
// The stored expected output of a format test.
QByteArray Golden(const QString &name);
// Writes the produced bytes beside the build when TELLAVO_UPDATE_GOLDEN is set (to review
// and copy into the fixtures after a deliberate change).
void OfferGolden(const QString &name, const QByteArray &bytes);
// Runs a program with arguments; its exit code and its standard output and error.
int RunTool(const QString &program, const QStringList &arguments, QByteArray *output = nullptr);
// A Python interpreter that can import the module, or empty.
QString PythonWith(const QString &module);

// Makes every file this process writes fail past a size, for its lifetime: a disk that fills
// up in the middle of a write.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(qint64 bytes);
    ~TFileSizeLimit();
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;

private:
    qint64 m_soft = 0;
};
