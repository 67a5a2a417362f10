#pragma once

#include <QPlainTextEdit>

class TDataSource;
class TFieldDataLink;

// A multi-line editor bound to a text or memo field: shows the full text, starts editing the
// record on the first change and writes the text on leaving or before the record is saved.
class TDBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TDBMemo(QWidget *parent = nullptr);

    void SetDataSource(TDataSource *source);
    void SetDataField(const QString &fieldName);
    void SetReadOnly(bool readOnly);
    TFieldDataLink *DataLink() const { return m_link; }
    void UpdateRecord();

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showField();
    void changedByUser();

    TFieldDataLink *m_link;
    bool m_modified = false;
    bool m_showing = false;
};
