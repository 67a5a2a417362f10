#pragma once

#include <QString>
#include <QStringList>

// An ordered list of name=value lines: names compare without regard to case, the first line
// with a name wins, the value is everything after the first "=" unchanged, a missing name and
// an empty value are the same, writing a value replaces the first line of its name and removes
// any later ones (so what was written is what is read back), writing an empty value removes
// them all and writing a missing name appends a line. Every other line is kept as it is.
class NameValueList {
public:
    NameValueList() = default;
    explicit NameValueList(QStringList lines) : m_lines(std::move(lines)) {}

    QString value(QStringView name) const;
    void setValue(const QString &name, const QString &value);
    // Index of the first line with this name, or -1.
    qsizetype indexOf(QStringView name) const;

    const QStringList &lines() const { return m_lines; }
    void setLines(const QStringList &lines) { m_lines = lines; }
    // Replaces the content with the lines of a text (CR LF, LF or CR line ends).
    void setText(const QString &text);
    void clear() { m_lines.clear(); }
    bool isEmpty() const { return m_lines.isEmpty(); }

private:
    QStringList m_lines;
};
