#pragma once

#include "data/field.h"
#include "grid/controls/datasource.h"

#include <QObject>
#include <QPointer>
#include <optional>

// Binds a control to one field of a data source: tells the control when to show the field
// again and when to write its pending text, and starts editing through the table, so that
// every change runs through the table's events and change log.
class TFieldDataLink : public QObject {
    Q_OBJECT
public:
    explicit TFieldDataLink(QObject *parent = nullptr);

    void SetDataSource(TDataSource *source);
    TDataSource *DataSource() const { return m_source; }
    void SetFieldName(const QString &name);
    QString FieldName() const { return m_fieldName; }
    // The control refuses edits of its own accord.
    void SetReadOnly(bool readOnly);
    bool ReadOnly() const { return m_readOnly; }

    // The bound field of the current record, when the source shows data and has the field.
    std::optional<TField> Field() const;
    // Whether the field can be changed now: bound, the control and the field are not
    // read-only and the table can be modified.
    bool CanModify() const;
    bool Editing() const;
    // Starts editing the current record; false when the field cannot be changed.
    bool Edit();

signals:
    // Show the field's value again (record moved or changed, state changed, field changed).
    void dataChange();
    // Write the pending text into the field now.
    void updateData();

private:
    void fieldChanged(int field);

    QPointer<TDataSource> m_source;
    QList<QMetaObject::Connection> m_connections;
    QString m_fieldName;
    bool m_readOnly = false;
};
