#include "output/outputtemplate.h"

#include "lang/texts.h"
#include "lang/textutil.h"

namespace {

int numberOr0(const QString &part) {
    return ParseInteger(part).value_or(0);
}

bool flagOf(const QString &part) {
    const auto number = ParseInteger(part);
    return !number || *number != 0;
}

// The format by its stored form: a stable id, or the position of the earlier form.
QString formatOf(const QString &part) {
    const auto position = ParseInteger(part);
    if (position || part.isEmpty())
        return TOutputTemplate::FormatAtPosition(position.value_or(0));
    return part;
}

QString flagText(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

QString SumMarkerShown() {
    return AppText(1711);
}

TOutputTemplate TOutputTemplate::Parse(const QString &value) {
    QString rest = value;
    TOutputTemplate t;
    t.format = formatOf(SplitSection(rest, u";"));
    t.title = SplitSection(rest, u";");
    t.timeStamp = flagOf(SplitSection(rest, u";"));
    t.filter = flagOf(SplitSection(rest, u";"));
    t.recordCount = flagOf(SplitSection(rest, u";"));
    t.orientation = numberOr0(SplitSection(rest, u";"));
    while (!rest.isEmpty())
        t.items.append(SplitSection(rest, u";"));
    return t;
}

QString TOutputTemplate::Value() const {
    QString safeTitle = title;
    safeTitle.replace(u';', u',').replace(u'|', u',');
    QStringList parts{format, safeTitle,
                      flagText(timeStamp),         flagText(filter),
                      flagText(recordCount),       QString::number(orientation)};
    parts += items;
    return parts.join(u';');
}

QString TOutputTemplate::FormatAtPosition(int position) {
    // The earlier form's list, in its order; it never grows (new formats have ids only).
    static const QStringList positions = {"preview", "pdf", "html", "xls", "csv"};
    return positions.value(position, positions.first());
}

QString TOutputTemplate::Upgraded(const QString &value) {
    const qsizetype end = value.indexOf(u';');
    const QString first = end < 0 ? value : value.left(end);
    if (!ParseInteger(first))
        return value;
    return formatOf(first) + value.mid(first.size());
}

QStringList TOutputTemplate::ItemsOf(const QList<TOutputListItem> &list) {
    QStringList items;
    for (const TOutputListItem &entry : list)
        if (entry.checked)
            items.append(entry.summed ? entry.fieldName + kSumMarker : entry.fieldName);
    return items;
}

void TOutputTemplate::ApplyItems(QList<TOutputListItem> &list) const {
    for (TOutputListItem &entry : list)
        entry.checked = entry.summed = false;
    qsizetype lastPlaced = -1;
    for (QString part : items) {
        const bool summed = part.contains(kSumMarker);
        part.remove(kSumMarker);
        qsizetype found = -1;
        for (qsizetype i = 0; i < list.size() && found < 0; ++i)
            if (list[i].fieldName.compare(part, Qt::CaseInsensitive) == 0)
                found = i;
        if (found < 0)
            continue;
        list[found].checked = true;
        list[found].summed = summed;
        // An entry standing before the last placed one moves to just behind it.
        if (found < lastPlaced)
            list.move(found, lastPlaced);
        else
            lastPlaced = found;
    }
}
