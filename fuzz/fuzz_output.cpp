// The output definition's stored forms: the template list of a list as the configuration
// store keeps it (a Windows-1250 file of name=value lines, each value a template), the report
// layout held as bytes between building and use, and the page selection typed for printing.
// The first byte picks the reader. A template read and written reads the same again, a
// layout that loads saves to bytes that load to the same layout, and every selected page
// exists.
#include "errors/apperror.h"
#include "fuzzcheck.h"
#include "net/settings/cfghandler.h"
#include "output/outputtemplate.h"
#include "output/report/pageselection.h"
#include "output/report/reportdefinition.h"
#include "output/templatelist.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

namespace {

// An empty last item names no column, and a stored value cannot end in one.
QStringList withoutTrailingEmpty(QStringList items) {
    while (!items.isEmpty() && items.last().isEmpty())
        items.removeLast();
    return items;
}

void templates(const QByteArray &bytes) {
    static QTemporaryDir dir;
    static TFileCfgHandler store(dir.path());
    const QString key = QStringLiteral("fuzz");
    QFile file(store.itemPath(QStringLiteral("dbo"), QString(), key));
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    TOutputTemplateList list(store, key);
    list.Read();
    for (const QString &name : list.Names()) {
        const TOutputTemplate t = TOutputTemplate::Parse(list.Value(name));
        const TOutputTemplate again = TOutputTemplate::Parse(t.Value());
        FUZZ_CHECK(again.format == t.format && again.orientation == t.orientation);
        FUZZ_CHECK(again.timeStamp == t.timeStamp && again.filter == t.filter &&
                   again.recordCount == t.recordCount);
        FUZZ_CHECK(again.title == QString(t.title).replace(u'|', u','));
        FUZZ_CHECK(withoutTrailingEmpty(again.items) == withoutTrailingEmpty(t.items));
        FUZZ_CHECK(list.IndexOf(name) >= 0);
    }
    if (!list.Lines().isEmpty()) {
        const QString first = list.Names().first();
        list.Set(first + QStringLiteral("x"), QStringLiteral("0;t;1;1;1;0"));
        FUZZ_CHECK(list.Remove(first + QStringLiteral("x")));
    }
}

void report(const QByteArray &bytes) {
    TReportDefinition d;
    try {
        d = TReportDefinition::Load(bytes);
    } catch (const AppError &) {
        return;
    }
    const QByteArray saved = d.Save();
    FUZZ_CHECK(TReportDefinition::Load(saved).Save() == saved);
}

void pages(const QByteArray &bytes) {
    if (bytes.isEmpty())
        return;
    const int pageCount = uchar(bytes[0]);
    const QString text = QString::fromUtf8(bytes.mid(1));
    for (const int page : ParsePageSelection(text, pageCount))
        FUZZ_CHECK(page >= 1 && page <= pageCount);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);
    switch (data[0] % 3) {
    case 0:
        templates(bytes);
        break;
    case 1:
        report(bytes);
        break;
    default:
        pages(bytes);
        break;
    }
    return 0;
}
