#pragma once

#include "data/changelog.h"
#include "data/tableorder.h"

#include <QList>
#include <QString>
#include <memory>
#include <vector>

class TFilterExpr;

// A named index: its fields (";"-separated) and options.
struct TIndexDef {
    QString name;
    QString fields;
    int options = 0;
};

// Options of a named index.
enum TIndexOption { ixDescending = 1, ixCaseInsensitive = 2 };

// The rows of a client table that its cursor walks: the live rows that the filter lets through,
// in the order of the selected index or field list, with the current position and whether
// either end was reached. Holds the filter and ordering settings, which outlive a close.
class TTableView {
public:
    // The entry of a row being inserted (its values are in the table's edit buffer).
    static constexpr quint32 kProvisionalRow = kNoRecord;

    TTableView(const TTableContent &content, const std::vector<quint32> &tableOrder,
               const TChangeLog &log);
    ~TTableView();

    // --- settings ---
    const QString &filterText() const { return m_filterText; }
    bool filtered() const { return m_filtered; }
    const QString &indexFieldNames() const { return m_indexFieldNames; }
    const QString &indexName() const { return m_indexName; }
    const QList<TIndexDef> &indexDefs() const { return m_indexDefs; }
    void setFilterText(const QString &text) { m_filterText = text; }
    void setFiltered(bool on) { m_filtered = on; }
    void setIndexFieldNames(const QString &names);
    void setIndexName(const QString &name);
    void addIndex(const TIndexDef &def) { m_indexDefs.append(def); }
    void deleteIndex(const QString &name);
    bool hasIndex(const QString &name) const;

    // The filter and order of the settings compiled for a table's fields; raise AppError.
    std::unique_ptr<TFilterExpr> compileFilter(const QString &text,
                                               const QList<TFieldDef> &fields) const;
    TTableOrder compileOrder(const QList<TFieldDef> &fields) const;
    void setFilter(std::unique_ptr<TFilterExpr> filter);
    void setOrder(std::unique_ptr<TTableOrder> order);
    // The active order; nullptr or empty for table order.
    const TTableOrder *order() const { return m_order.get(); }
    bool ordered() const { return m_order && !m_order->isEmpty(); }

    // --- rows ---
    // Forgets the rows and the compiled filter and order (a closed table).
    void clear();
    // Collects the visible rows again; keepRow stays current when it is still visible.
    void rebuild(quint32 keepRow);
    bool rowVisible(quint32 row) const;
    size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    quint32 rowAt(int pos) const {
        return pos >= 0 && pos < int(m_rows.size()) ? m_rows[size_t(pos)] : kNoRecord;
    }
    quint32 recordOf(quint32 row) const { return m_content.rows[row].record; }
    // The position of a row, or -1 when it is not visible.
    int find(quint32 row) const;
    // The first position whose value of field 0 equals key, or -1.
    int findKey(const TValue &key) const;
    // Positions [first, last) whose leading order keys compare equal to the probe; the first
    // is where such a row would go when there is none.
    std::pair<size_t, size_t> equalRange(const TTableOrder::Probe &probe) const;

    // Puts a provisional row (an insert) at pos and makes it current.
    void insertProvisional(int pos);
    // Replaces the row at pos.
    void setRowAt(int pos, quint32 row) { m_rows[size_t(pos)] = row; }
    // Puts a row that changed into its place (or leaves it out when the filter hides it) and
    // makes its position current; hint is where it was.
    void place(quint32 row, int hint);
    void removeAt(int pos);
    // Whether the row at pos is still visible and in order with its neighbours.
    bool staysInPlace(int pos) const;

    // --- cursor ---
    int pos() const { return m_pos; }
    void setPos(int pos) { m_pos = pos; }
    quint32 currentRow() const { return rowAt(m_pos); }
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    void setEnds(bool bof, bool eof) {
        m_bof = bof;
        m_eof = eof;
    }

private:
    const TTableContent &m_content;
    const std::vector<quint32> &m_tableOrder;
    const TChangeLog &m_log;

    QString m_filterText;
    bool m_filtered = false;
    QString m_indexFieldNames;
    QString m_indexName;
    QList<TIndexDef> m_indexDefs;
    std::unique_ptr<TFilterExpr> m_filter;
    std::unique_ptr<TTableOrder> m_order;

    std::vector<quint32> m_rows; // visible row ids in the current order
    int m_pos = -1;
    bool m_eof = true;
    bool m_bof = true;
};
