#include "output/formats/dboutputxlsx.h"

#include "data/clienttable.h"
#include "errors/apperror.h"
#include "grid/recordwalk.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "output/fieldkinds.h"
#include "output/formats/xlsxsheet.h"
#include "output/outputtexts.h"
#include "seam/seam.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace {

constexpr int kProgressStep = 500;
constexpr double kPixelsPerCharacter = 7; // the sheet's default font
constexpr double kExcelEpochDays = 25569; // 1970-01-01 as a sheet date
constexpr double kFirstSheetDate = 61;    // 1900-03-01: earlier sheet dates are off by a day

// How a field's values go into cells.
enum class CellKind { Text, Integer, Decimal, Money, Date, DateTime, Time };

CellKind cellKind(const TFieldDef &field) {
    if (IsFloatField(field))
        return field.subtype.compare(QLatin1String("Money"), Qt::CaseInsensitive) == 0
                   ? CellKind::Money
                   : CellKind::Decimal;
    if (IsNumericField(field))
        return CellKind::Integer;
    switch (field.type) {
    case TFieldType::Date:
        return CellKind::Date;
    case TFieldType::Time:
        return CellKind::Time;
    case TFieldType::DateTime:
    case TFieldType::SQLDateTime:
        return CellKind::DateTime;
    default:
        return CellKind::Text;
    }
}

TXlsxSheet::Style styleOf(CellKind kind) {
    switch (kind) {
    case CellKind::Integer:
        return TXlsxSheet::Integer;
    case CellKind::Decimal:
        return TXlsxSheet::Decimal;
    case CellKind::Money:
        return TXlsxSheet::Money;
    case CellKind::Date:
        return TXlsxSheet::Date;
    case CellKind::DateTime:
        return TXlsxSheet::DateTime;
    case CellKind::Time:
        return TXlsxSheet::Time;
    case CellKind::Text:
        break;
    }
    return TXlsxSheet::Plain;
}

// Writes one value; empty values leave the cell empty.
void writeCell(TXlsxSheet &sheet, int row, int column, const TField &field, CellKind kind) {
    const TValue value = field.Value();
    if (value.isNull())
        return;
    switch (kind) {
    case CellKind::Text: {
        // A cell breaks its lines at LF; a CR would show as a stray character.
        static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r"));
        QString text = field.AsString();
        if (text.contains(u'\r'))
            text.replace(lineBreak, QStringLiteral("\n"));
        sheet.Text(row, column, text);
        return;
    }
    case CellKind::Integer:
        sheet.Number(row, column, double(value.toInteger()), styleOf(kind));
        return;
    case CellKind::Decimal:
    case CellKind::Money:
        sheet.Number(row, column, value.toFloat(), styleOf(kind));
        return;
    case CellKind::Time:
        sheet.Number(row, column, double(TimePart(value.toDateTime()).msecsSinceStartOfDay()) /
                                      kMsPerDay,
                     styleOf(kind));
        return;
    case CellKind::Date:
    case CellKind::DateTime: {
        const double serial = double(value.toDateTime().ms) / kMsPerDay + kExcelEpochDays;
        // The sheet's calendar misnumbers days before March 1900: such dates stay text.
        if (serial >= kFirstSheetDate)
            sheet.Number(row, column, serial, styleOf(kind));
        else
            sheet.Text(row, column, field.DisplayText());
        return;
    }
    }
}

// The lines above the table: title, time stamp and the filter description.
int writeHeading(TXlsxSheet &sheet, const QString &title, const QString &filterText,
                 bool timeStamp) {
    int row = 0;
    if (!title.isEmpty())
        sheet.Text(row++, 0, title, TXlsxSheet::Bold);
    if (timeStamp)
        sheet.Text(row++, 0, FormatText(CommonText(59), {OutputTimeStamp(CurrentSeam().now())}));
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    if (!filterText.isEmpty())
        for (const QString &line : filterText.split(lineBreak))
            if (!line.isEmpty())
                sheet.Text(row++, 0, line);
    return row > 0 ? row + 1 : 0; // an empty row before the table
}

void checkLimits(TClientTable &table, const Tdboutputsfields &items, qint64 extraRows) {
    if (items.size() > Tdboutput_xlsx::kMaxColumns)
        throw AppError(
            FormatText(AppText(1705), {Tdboutput_xlsx::kMaxColumns, int(items.size())}));
    if (table.VisibleRowCount() + extraRows > Tdboutput_xlsx::kMaxRows)
        throw AppError(FormatText(AppText(1704), {table.VisibleRowCount(),
                                                  Tdboutput_xlsx::kMaxRows - extraRows}));
}

} // namespace

bool Tdboutput_xlsx::Execute(TClientTable &table, Tdboutputsfields items, bool header,
                             const QString &title, const QString &filterText, bool timeStamp,
                             bool recordCount, bool ask) {
    const QString fileName = AskSaveName(
        AppText(1718), AppText(1719) + QStringLiteral(" (*.xlsx)|*.xlsx"), QStringLiteral("xlsx"));
    if (fileName.isEmpty())
        return false;
    QCoreApplication::processEvents();
    PrepareItems(table, items);
    bool anySum = false;
    for (const Tdboutputsfield &item : items)
        anySum = anySum || item.summed;
    const qint64 headingRows = (title.isEmpty() ? 0 : 1) + (timeStamp ? 1 : 0) +
                               filterText.count(u'\n') + (filterText.isEmpty() ? 0 : 1) + 1;
    checkLimits(table, items, headingRows + (header ? 1 : 0) + (anySum ? 1 : 0) +
                                  (recordCount ? 2 : 0));
    {
        TProgressScope progress(Progress(), AppText(1718), CommonText(63));
        TXlsxSheet sheet(fileName);
        std::vector<CellKind> kinds;
        for (int i = 0; i < int(items.size()); ++i) {
            kinds.push_back(cellKind(table.FieldDefs().at(items[i].index)));
            if (items[i].width > 0)
                sheet.ColumnWidth(i, items[i].width / kPixelsPerCharacter);
        }
        int row = writeHeading(sheet, title, filterText, timeStamp);
        const int headerRow = row;
        if (header) {
            for (int i = 0; i < int(items.size()); ++i)
                sheet.Text(row, i, items[i].label, TXlsxSheet::Bold);
            sheet.FreezeRowsAbove(++row);
        }
        std::vector<double> sums(items.size(), 0.0);
        int written = 0;
        WalkRecords(table, [&] {
            for (int i = 0; i < int(items.size()); ++i) {
                const TField field = table.Field(items[i].index);
                writeCell(sheet, row, i, field, kinds[size_t(i)]);
                if (items[i].summed)
                    sums[size_t(i)] += field.Value().toFloat();
            }
            ++row;
            if (++written % kProgressStep == 0)
                progress.SetText(FormatText(CommonText(64), {written}));
        });
        if (header && !items.isEmpty())
            sheet.AutoFilter(headerRow, 0, std::max(headerRow, row - 1), int(items.size()) - 1);
        if (anySum) {
            if (!items[0].summed)
                sheet.Text(row, 0, CommonText(60), TXlsxSheet::Bold);
            for (int i = 0; i < int(items.size()); ++i)
                if (items[i].summed)
                    sheet.Number(row, i, sums[size_t(i)],
                                 kinds[size_t(i)] == CellKind::Money ? TXlsxSheet::Money
                                                                     : TXlsxSheet::Bold);
            ++row;
        }
        if (recordCount) {
            sheet.Text(++row, 0, CommonText(61).trimmed(), TXlsxSheet::Bold);
            sheet.Number(row, 1, written, TXlsxSheet::Integer);
        }
        sheet.Commit();
    }
    if (ask)
        OfferToOpen(CommonText(65), fileName);
    return true;
}
