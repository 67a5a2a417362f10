#pragma once

#include <QString>
#include <memory>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// One worksheet of a new workbook file, written row by row in constant memory: the thin
// layer over the xlsx library that the export uses. The file is written to a temporary name
// beside the target and takes the target's place only when it was written whole.
class TXlsxSheet {
public:
    enum Style { Plain, Bold, Date, DateTime, Time, Integer, Decimal, Money, StyleCount };

    // Raises AppError when the file cannot be begun.
    explicit TXlsxSheet(const QString &fileName);
    ~TXlsxSheet();
    TXlsxSheet(const TXlsxSheet &) = delete;
    TXlsxSheet &operator=(const TXlsxSheet &) = delete;

    // Text is stored as a string (a leading "=" stays text); longer texts than a cell holds
    // are cut to its 32 767 characters.
    void Text(int row, int column, const QString &text, Style style = Plain);
    void Number(int row, int column, double value, Style style = Plain);
    void ColumnWidth(int column, double characters);
    void FreezeRowsAbove(int row);
    void AutoFilter(int firstRow, int firstColumn, int lastRow, int lastColumn);
    // Writes the workbook and puts it in the target's place; raises AppError on failure.
    void Commit();

private:
    [[noreturn]] void fail(const QString &reason);

    QString m_fileName, m_tempName;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_styles[StyleCount] = {};
};
