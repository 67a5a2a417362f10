#pragma once

#include "data/clienttable.h"

#include <QObject>

// The mediator between a client table and the controls bound to it: forwards the table's
// notices as signals (telling a move to another record apart from a change of the current
// record and from a change of one field), can be switched off as a whole, and runs the
// edit actions of the controls so that editors write their pending text before a post.
class TDataSource : public QObject {
    Q_OBJECT
public:
    explicit TDataSource(QObject *parent = nullptr);
    TDataSource(TClientTable *table, QObject *parent);
    ~TDataSource() override;

    // The bound table (none unbinds). The table must stay alive while it is bound.
    void SetDataSet(TClientTable *table);
    TClientTable *DataSet() const { return m_table; }

    // A switched-off source shows its controls nothing, as if the table were closed.
    void SetEnabled(bool enabled);
    bool Enabled() const { return m_enabled; }
    // Whether the controls show data: a table is bound, open, and the source is enabled.
    bool Active() const;
    TTableState State() const;

    // The object names from the top owner down to this source, joined by ".".
    QString NamePath() const;

    // Starts editing the current record unless the table already edits or inserts.
    void Edit();
    // Asks the bound editors to write their pending text into the fields.
    void UpdateRecord();
    // Writes the editors' pending text, then posts the record while editing or inserting.
    void Post();

signals:
    // The table was bound, unbound, opened, closed or refreshed, or the source switched.
    void dataSetChanged();
    // Records appeared, disappeared or moved (insert, delete, filter, order, unfreeze).
    void dataChanged();
    // Another record became current.
    void scrolled();
    // The values of the current record changed as a whole (post, cancel).
    void recordChanged();
    // One field of the current record changed while editing.
    void fieldChanged(int field);
    // Browse, edit or insert state changed.
    void stateChanged();
    // Editors write their pending text into the fields now.
    void updateData();

private:
    void notice(TTableNotice notice, int field);
    void detach();

    TClientTable *m_table = nullptr;
    int m_observer = 0;
    bool m_enabled = true;
};
