#pragma once

#include <QComboBox>

class TDataSource;
class TFieldDataLink;

// A drop-down list bound to a key field: lists the records of a lookup table by a text
// field and writes the chosen record's key into the bound field.
class TDBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDBLookupComboBox(QWidget *parent = nullptr);

    void SetDataSource(TDataSource *source);
    void SetDataField(const QString &fieldName);
    void SetReadOnly(bool readOnly);
    // The lookup table (through its data source), its key field and the field shown.
    void SetListSource(TDataSource *source, const QString &keyField, const QString &listField);
    TFieldDataLink *DataLink() const { return m_link; }
    // Fills the list again from the lookup table.
    void RefreshList();

private:
    void showField();
    void chosenByUser(int index);

    TFieldDataLink *m_link;
    TDataSource *m_listSource = nullptr;
    QList<QMetaObject::Connection> m_listConnections;
    QString m_keyField;
    QString m_listField;
};
