#include "output/formats/dboutputcsv.h"

#include "data/clienttable.h"
#include "grid/recordwalk.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "output/outputfile.h"

#include <algorithm>

namespace {

constexpr int kProgressStep = 500;
const QString kLineEnd = QStringLiteral("\r\n");

} // namespace

QString Tdboutput_csv::CsvSafe(QString text) {
    const auto special = [](QChar c) { return c == u';' || c == u'|' || c == u'\r' || c == u'\n'; };
    if (std::none_of(text.cbegin(), text.cend(), special))
        return text;
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
    return text;
}

bool Tdboutput_csv::Execute(TClientTable &table, Tdboutputsfields items, bool header, bool ask) {
    const QString fileName = AskSaveName(
        CommonText(42), CommonText(43) + QStringLiteral(" (*.csv)|*.csv"), QStringLiteral("csv"));
    if (fileName.isEmpty())
        return false;
    PrepareItems(table, items);
    {
        TProgressScope progress(Progress(), CommonText(66), CommonText(67));
        TOutputFile file(fileName, "windows-1250");
        QString line;
        if (header) {
            for (qsizetype i = 0; i < items.size(); ++i) {
                if (i > 0)
                    line += u';';
                line += CsvSafe(items[i].label);
            }
            file.Write(line + kLineEnd);
        }
        int written = 0;
        WalkRecords(table, [&] {
            line.clear();
            for (qsizetype i = 0; i < items.size(); ++i) {
                if (i > 0)
                    line += u';';
                line += CsvSafe(table.Field(items[i].index).AsString());
            }
            line += kLineEnd;
            file.Write(line);
            if (++written % kProgressStep == 0)
                progress.SetText(FormatText(CommonText(64), {written}));
        });
        file.Commit();
    }
    if (ask)
        OfferToOpen(CommonText(68), fileName);
    return true;
}
