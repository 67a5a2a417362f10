#include "output/templatelist.h"

#include "base/logging.h"
#include "lang/programlocale.h"
#include "net/settings/cfghandler.h"
#include "output/outputtemplate.h"

#include <QCollator>
#include <QRegularExpression>
#include <algorithm>

namespace {

const QString kSection = QStringLiteral("dbo");

} // namespace

TOutputTemplateList::TOutputTemplateList(TCfgHandler &store, QString storageKey)
    : m_store(store), m_key(std::move(storageKey)) {}

void TOutputTemplateList::Read() {
    m_lines.clear();
    QString text;
    if (!m_store.Read(kSection, QString(), text, m_key))
        return;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    bool upgraded = false;
    for (const QString &line : text.split(lineBreak)) {
        if (line.isEmpty())
            continue;
        QString name, value;
        SplitLine(line, name, value);
        const QString current = TOutputTemplate::Upgraded(value);
        upgraded = upgraded || current != value;
        m_lines.append(current == value ? line : name + u'=' + current);
    }
    if (upgraded)
        Write();
}

void TOutputTemplateList::Write() {
    if (m_lines.isEmpty()) {
        m_store.Delete(kSection, QString(), m_key);
        return;
    }
    // A failure of the store leaves the stored list as it was; the log says so.
    if (!m_store.Write(kSection, QString(), m_lines.join(QStringLiteral("\r\n")) + "\r\n", m_key))
        qCWarning(lcOutput).noquote() << "writing the output templates of" << m_key << "failed";
}

QString TOutputTemplateList::CleanName(const QString &name) {
    return QString(name).remove(u'&');
}

void TOutputTemplateList::SplitLine(const QString &line, QString &name, QString &value) {
    const qsizetype eq = line.indexOf(u'=');
    name = eq < 0 ? line : line.left(eq);
    value = eq < 0 ? QString() : line.mid(eq + 1);
}

QStringList TOutputTemplateList::Names() const {
    QStringList names;
    for (const QString &line : m_lines) {
        QString name, value;
        SplitLine(line, name, value);
        names.append(name);
    }
    return names;
}

qsizetype TOutputTemplateList::IndexOf(const QString &name) const {
    const QString wanted = CleanName(name);
    const QStringList names = Names();
    for (qsizetype i = 0; i < names.size(); ++i)
        if (CleanName(names[i]).compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString TOutputTemplateList::Value(const QString &name) const {
    const qsizetype i = IndexOf(name);
    if (i < 0)
        return QString();
    QString found, value;
    SplitLine(m_lines[i], found, value);
    return value;
}

void TOutputTemplateList::Set(const QString &name, const QString &value) {
    const QString line = name + u'=' + value;
    const qsizetype i = IndexOf(name);
    if (i >= 0)
        m_lines[i] = line;
    else
        m_lines.append(line);
    // Sorted in the language's order without regard to case ("Č" after "C").
    QCollator collator(ProgramLocale());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(m_lines.begin(), m_lines.end(),
                     [&collator](const QString &a, const QString &b) {
                         QString nameA, nameB, value;
                         SplitLine(a, nameA, value);
                         SplitLine(b, nameB, value);
                         return collator.compare(nameA, nameB) < 0;
                     });
}

bool TOutputTemplateList::Remove(const QString &name) {
    const qsizetype i = IndexOf(name);
    if (i < 0)
        return false;
    m_lines.removeAt(i);
    return true;
}
