#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <string_view>
#include <vector>

// Timetable rows as the packet writer wrote them, one after the other, each with the two
// values the timetable is ordered by: the lesson's time (its packet form, which orders like
// the time) and its id.
class TimetableRows {
public:
    // Takes the rows of a packet text from `from` on (no packet end behind them). False when
    // a row does not begin with its id and lesson time, or the rows are out of order.
    bool read(QByteArray text, qsizetype from);

    int count() const { return int(m_rows.size()); }
    qint64 id(int row) const { return m_rows[size_t(row)].id; }
    std::string_view when(int row) const;
    // Whether row a comes before row b of another list in the timetable's order.
    bool before(int a, const TimetableRows &other, int b) const;
    // The first row whose lesson time is not before the given packet form.
    int firstFrom(std::string_view when) const;
    // The text of rows [from, to).
    QByteArrayView text(int from, int to) const;
    // Where row i ends in the text (the offset from the first row's start).
    qsizetype end(int row) const { return m_rows[size_t(row)].end - m_from; }
    QByteArrayView allText() const { return text(0, count()); }

    // The packet form of a moment, as a lesson time at it would be written.
    static QByteArray WhenForm(const QDateTime &moment);

private:
    struct Row {
        qsizetype end; // in m_text
        qsizetype whenAt;
        qsizetype whenSize;
        qint64 id;
    };
    bool readRow(qsizetype begin, qsizetype end);

    QByteArray m_text;
    qsizetype m_from = 0;
    std::vector<Row> m_rows;
};
