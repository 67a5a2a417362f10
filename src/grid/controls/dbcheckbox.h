#pragma once

#include <QCheckBox>

class TDataSource;
class TFieldDataLink;

// A check box bound to a boolean field: shows the field and writes a click into it at once
// (a null field shows unchecked).
class TDBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TDBCheckBox(QWidget *parent = nullptr);

    void SetDataSource(TDataSource *source);
    void SetDataField(const QString &fieldName);
    void SetReadOnly(bool readOnly);
    TFieldDataLink *DataLink() const { return m_link; }

private:
    void showField();
    void clickedByUser(bool checked);

    TFieldDataLink *m_link;
};
