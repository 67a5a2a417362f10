#include "base/namevaluelist.h"

#include <QRegularExpression>

qsizetype NameValueList::indexOf(QStringView name) const {
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString &line = m_lines[i];
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && QStringView(line).left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString NameValueList::value(QStringView name) const {
    const qsizetype i = indexOf(name);
    if (i < 0)
        return {};
    const QString &line = m_lines[i];
    return line.mid(line.indexOf(u'=') + 1);
}

void NameValueList::setValue(const QString &name, const QString &value) {
    const qsizetype first = indexOf(name);
    if (first < 0) {
        if (!value.isEmpty())
            m_lines.append(name + u'=' + value);
        return;
    }
    // Later lines of the same name go too: otherwise one of them would be read back next.
    for (qsizetype i = m_lines.size() - 1; i > first; --i) {
        const qsizetype eq = m_lines[i].indexOf(u'=');
        if (eq >= 0 && QStringView(m_lines[i]).left(eq).compare(name, Qt::CaseInsensitive) == 0)
            m_lines.removeAt(i);
    }
    if (value.isEmpty())
        m_lines.removeAt(first);
    else
        m_lines[first] = name + u'=' + value;
}

void NameValueList::setText(const QString &text) {
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    m_lines = text.split(lineEnd);
    // A final line end does not start another line.
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}
