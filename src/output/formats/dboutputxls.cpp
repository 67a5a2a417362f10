#include "output/formats/dboutputxls.h"

#include "data/clienttable.h"
#include "grid/recordwalk.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "output/fieldkinds.h"
#include "output/formats/mxnativeexcel.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

constexpr int kProgressStep = 500;
constexpr int kMaxRows = Tdboutput_xls::kMaxRows;
constexpr int kMaxColumns = Tdboutput_xls::kMaxColumns;
constexpr int kMaxWidth = 255; // characters
constexpr int kPixelsPerCharacter = 5;

// The sheet must hold every row and item; refused before anything is written.
void checkLimits(TClientTable &table, const Tdboutputsfields &items, bool header) {
    if (items.size() > kMaxColumns)
        throw AppError(FormatText(AppText(1705), {kMaxColumns, int(items.size())}));
    const qint64 rows = qint64(table.VisibleRowCount()) + (header ? 1 : 0);
    if (rows > kMaxRows)
        throw AppError(
            FormatText(AppText(1704), {table.VisibleRowCount(), kMaxRows - (header ? 1 : 0)}));
}

} // namespace

bool Tdboutput_xls::Execute(TClientTable &table, Tdboutputsfields items, bool header, bool ask) {
    const QString fileName = AskSaveName(
        CommonText(44), CommonText(45) + QStringLiteral(" (*.xls)|*.xls"), QStringLiteral("xls"));
    if (fileName.isEmpty())
        return false;
    QCoreApplication::processEvents();
    PrepareItems(table, items);
    checkLimits(table, items, header);
    TmxNativeExcel excel;
    {
        TProgressScope progress(Progress(), CommonText(62), CommonText(63));
        excel.SetFormat(3);
        excel.SetFileName(fileName);
        for (int i = 1; i <= int(items.size()); ++i) {
            const Tdboutputsfield &item = items[i - 1];
            if (header)
                excel.WriteText(1, i, item.label);
            // Columns of 1280 pixels or more get the widest width the sheet allows.
            if (item.width > 4)
                excel.SetColumnWidth(i, i, std::min(item.width / kPixelsPerCharacter, kMaxWidth));
        }
        int row = header ? 2 : 1;
        std::vector<int> kinds; // 0 text, 1 integer, 2 float
        for (const Tdboutputsfield &item : items) {
            const TFieldDef &field = table.FieldDefs().at(item.index);
            kinds.push_back(IsInteger32Field(field) ? 1 : IsFloatField(field) ? 2 : 0);
        }
        WalkRecords(table, [&] {
            for (int i = 0; i < int(items.size()); ++i) {
                const TField field = table.Field(items[i].index);
                if (kinds[size_t(i)] == 0)
                    excel.WriteText(row, i + 1, field.AsString());
                else if (kinds[size_t(i)] == 1)
                    excel.WriteNumber(row, i + 1, double(field.Value().toInteger()));
                else
                    excel.WriteNumber(row, i + 1, field.Value().toFloat());
            }
            if ((row - 1) % kProgressStep == 0)
                progress.SetText(FormatText(CommonText(64), {row - 1}));
            ++row;
        });
        excel.End();
        excel.Save();
    }
    // The file that was written, also when the writer changed its extension.
    if (ask)
        OfferToOpen(CommonText(65), excel.FileName());
    return true;
}
