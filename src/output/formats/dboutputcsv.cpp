#include "output/formats/dboutputcsv.h"

#include "data/clienttable.h"
#include "grid/recordwalk.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "output/codepage.h"
#include "output/fieldkinds.h"
#include "output/outputfile.h"
#include "seam/messagebox.h"

#include <algorithm>

namespace {

constexpr int kProgressStep = 500;
const QString kLineEnd = QStringLiteral("\r\n");

// A spreadsheet reads a cell that begins with one of these as a formula.
bool formulaStart(const QString &text) {
    if (text.isEmpty())
        return false;
    const char16_t c = text[0].unicode();
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t';
}

// Counts the values that lost characters to the code page, and the first record affected.
struct LostCharacters {
    int values = 0;
    int firstRecord = 0;

    void Add(int replaced, int record) {
        if (replaced == 0)
            return;
        if (values++ == 0)
            firstRecord = record;
    }
};

} // namespace

QString Tdboutput_csv::CsvSafe(QString text, bool isText) {
    const auto special = [](QChar c) { return c == u';' || c == u'|' || c == u'\r' || c == u'\n'; };
    if (std::any_of(text.cbegin(), text.cend(), special)) {
        for (QChar &c : text) {
            const char16_t u = c.unicode();
            if (u == u';' || u == u'|')
                c = u',';
        }
        // Any line break, not only CR LF, would end the record early.
        text.replace(kLineEnd, QStringLiteral(" "));
        for (QChar &c : text)
            if (c == u'\r' || c == u'\n')
                c = u' ';
    }
    if (isText && formulaStart(text))
        text.prepend(u'\'');
    // A reader takes a leading quote for the start of a quoted value and would run on into the
    // following records: such a value is quoted, its quotes doubled.
    if (text.startsWith(u'"'))
        text = u'"' + text.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
    return text;
}

bool Tdboutput_csv::Execute(TClientTable &table, Tdboutputsfields items, bool header, bool ask,
                            int encoding) {
    const QString fileName = AskSaveName(
        CommonText(42), CommonText(43) + QStringLiteral(" (*.csv)|*.csv"), QStringLiteral("csv"));
    if (fileName.isEmpty())
        return false;
    PrepareItems(table, items);
    const bool utf8 = encoding == ceUtf8Bom;
    LostCharacters lost;
    {
        TProgressScope progress(Progress(), CommonText(66), CommonText(67));
        TOutputFile file(fileName, utf8 ? "utf-8" : "windows-1250");
        if (utf8)
            file.WriteBytes(QByteArrayLiteral("\xEF\xBB\xBF"));
        const auto value = [&](QString text, bool isText, int record) {
            text = CsvSafe(std::move(text), isText);
            if (!utf8)
                lost.Add(TCodePage1250::Replace(text), record);
            return text;
        };
        QString line;
        if (header) {
            for (qsizetype i = 0; i < items.size(); ++i) {
                if (i > 0)
                    line += u';';
                line += value(items[i].label, true, 0);
            }
            file.Write(line + kLineEnd);
        }
        std::vector<bool> isText;
        for (const Tdboutputsfield &item : items)
            isText.push_back(!IsNumericField(table.FieldDefs().at(item.index)));
        int written = 0;
        WalkRecords(table, [&] {
            line.clear();
            for (qsizetype i = 0; i < items.size(); ++i) {
                if (i > 0)
                    line += u';';
                line += value(table.Field(items[i].index).AsString(), isText[size_t(i)],
                              written + 1);
            }
            line += kLineEnd;
            file.Write(line);
            if (++written % kProgressStep == 0)
                progress.SetText(FormatText(CommonText(64), {written}));
        });
        file.Commit();
    }
    if (lost.values > 0)
        AppMessageBox(FormatText(AppText(1717), {QStringLiteral("Windows-1250"), lost.values,
                                                 lost.firstRecord}),
                      mtWarning, mbOK);
    if (ask)
        OfferToOpen(CommonText(68), fileName);
    return true;
}
