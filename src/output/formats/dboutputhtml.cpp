#include "output/formats/dboutputhtml.h"

#include "data/clienttable.h"
#include "data/displayformat.h"
#include "grid/recordwalk.h"
#include "seam/seam.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "output/fieldkinds.h"
#include "output/outputfile.h"
#include "output/outputtexts.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>

namespace {

constexpr int kProgressStep = 500;
const QString kLineEnd = QStringLiteral("\r\n");
// A no-break space as a character reference: the named entity would need the document type's
// definition, which an XML reader does not load.
const QString kNoBreakSpace = QStringLiteral("&#160;");

const char *const kHead[] = {
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>",
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
    "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">",
    "<html xmlns=\"http://www.w3.org/1999/xhtml\">",
    "  <head>",
    "    <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"/>",
};

const char *const kStyle[] = {
    "    <style type=\"text/css\">",
    "      body {font-family: Tahoma, Arial, Verdana, sans-serif; font-size:12px; margin:20px;}",
    "      hr {border-width: 1px; height:1px; color:black;}",
    "      table{font-family: Tahoma, Arial, Verdana, sans-serif; font-size:12px; "
    "text-align:left; padding:0px; border:0px;}",
    "      th {font-weight:bold;}",
    "      th,td {padding-right:1em;}",
    "      .rt {text-align:right;}",
    "      .ct {text-align:center;}",
    "    </style>",
    "  </head>",
    "  <body>",
};

QString classOf(const TFieldDef &field) {
    switch (FieldAlignment(field)) {
    case TOutputAlignment::Right:
        return QStringLiteral(" class=\"rt\"");
    case TOutputAlignment::Center:
        return QStringLiteral(" class=\"ct\"");
    case TOutputAlignment::Left:
        break;
    }
    return QString();
}

QString cellText(TClientTable &table, int index) {
    const TField field = table.Field(index);
    if (!field.Def().isMemo())
        return field.DisplayText();
    // Every line break, also a lone CR or LF, so that each record stays on one line.
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return field.AsString().replace(lineBreak, QStringLiteral(" "));
}

} // namespace

QString Tdboutput_html::Escaped(const QString &text) {
    const auto special = [](QChar c) {
        return c == u'&' || c == u'<' || c == u'>' || c == u'"' || c == u'\'' ||
               c.unicode() < 0x20 || c.isSurrogate() || c.unicode() >= 0xFFFE;
    };
    if (std::none_of(text.begin(), text.end(), special))
        return text;
    QString out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        case u'\'':
            out += QLatin1String("&apos;");
            break;
        case u'\t':
        case u'\n':
        case u'\r':
            out += c;
            break;
        case u'\v':
        case u'\f':
            out += u' '; // line breaks of word processors
            break;
        default:
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                out += c;
                out += text[++i];
            } else if (c.unicode() >= 0x20 && !c.isSurrogate() && c.unicode() < 0xFFFE) {
                out += c;
            } // XML 1.0 forbids the other control characters and lone surrogates: dropped
        }
    }
    return out;
}

bool Tdboutput_html::Execute(TClientTable &table, Tdboutputsfields items, const QString &title,
                             const QString &filterText, bool timeStamp, bool recordCount,
                             bool ask) {
    const QString fileName = AskSaveName(
        CommonText(140), CommonText(141) + QStringLiteral(" (*.htm, *.html)|*.htm;*.html"),
        QStringLiteral("html"));
    if (fileName.isEmpty())
        return false;
    QCoreApplication::processEvents();
    PrepareItems(table, items);
    {
        TProgressScope progress(Progress(), CommonText(140), CommonText(67));
        TOutputFile file(fileName, "utf-8");
        const auto line = [&file](const QString &text) {
            file.Write(text);
            file.Write(kLineEnd);
        };
        for (const char *text : kHead)
            line(QString::fromUtf8(text));
        line(QStringLiteral("    <title>") + Escaped(title) + QStringLiteral("</title>"));
        for (const char *text : kStyle)
            line(QString::fromUtf8(text));
        line(QStringLiteral("    <div style=\"text-align:center;font-weight:bold;"
                            "text-decoration:underline;\">") +
             Escaped(title) + QStringLiteral("<br/><br/></div>"));
        if (timeStamp)
            line(QStringLiteral("    <div>") +
                 Escaped(FormatText(CommonText(59), {OutputTimeStamp(CurrentSeam().now())})) +
                 QStringLiteral("</div>"));
        if (!filterText.isEmpty()) {
            static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
            line(QStringLiteral("    <div>") +
                 Escaped(filterText).replace(lineBreak, QStringLiteral("<br/>")) +
                 QStringLiteral("</div>"));
        }
        line(QStringLiteral("    <p></p>"));
        line(QStringLiteral("    <table>"));
        line(QStringLiteral("      <tr>"));
        QStringList classes;
        bool anySum = false;
        for (const Tdboutputsfield &item : items) {
            classes.append(classOf(table.FieldDefs().at(item.index)));
            line(QStringLiteral("        <th") + classes.last() + u'>' + Escaped(item.label) +
                 QStringLiteral("</th>"));
            anySum = anySum || item.summed;
        }
        line(QStringLiteral("      </tr>"));
        const QString rule =
            QStringLiteral("      <tr><td colspan=\"%1\"><hr/></td></tr>").arg(items.size());
        line(rule);
        std::vector<double> sums(size_t(items.size()), 0.0);
        int written = 0;
        QString row;
        WalkRecords(table, [&] {
            row = QStringLiteral("      <tr>");
            for (qsizetype i = 0; i < items.size(); ++i) {
                const int index = items[i].index;
                row += QStringLiteral("<td") + classes[i] + u'>' + Escaped(cellText(table, index)) +
                       QStringLiteral("</td>");
                if (items[i].summed)
                    sums[size_t(i)] += table.Field(index).Value().toFloat();
            }
            row += QStringLiteral("</tr>");
            line(row);
            if (++written % kProgressStep == 0)
                progress.SetText(FormatText(CommonText(64), {written}));
        });
        if (anySum) {
            line(rule);
            row = QStringLiteral("      <tr style=\"font-weight:bold;\">");
            for (qsizetype i = 0; i < items.size(); ++i) {
                QString text = kNoBreakSpace;
                if (items[i].summed)
                    text =
                        Escaped(FormatSum(table.FieldDefs().at(items[i].index), sums[size_t(i)]));
                else if (i == 0)
                    text = Escaped(CommonText(60)) + kNoBreakSpace;
                row += QStringLiteral("<td") + classes[i] + u'>' + text + QStringLiteral("</td>");
            }
            line(row + QStringLiteral("</tr>"));
        }
        line(QStringLiteral("    </table>"));
        if (recordCount)
            line(QStringLiteral("    <div><br/><strong>") + Escaped(CommonText(61)) +
                 QStringLiteral("</strong>") + FormatCount(written) + QStringLiteral("</div>"));
        line(QStringLiteral("  </body>"));
        line(QStringLiteral("</html>"));
        file.Commit();
    }
    if (ask)
        OfferToOpen(CommonText(142), fileName);
    return true;
}
