#pragma once

#include <QLineEdit>

class TDataSource;
class TFieldDataLink;

// A line edit bound to a field: shows the field with its display format, edits it with its
// edit format, starts editing the record on the first change and writes the text into the
// field when it loses the focus, on Enter, or before the record is saved.
class TDBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TDBEdit(QWidget *parent = nullptr);

    void SetDataSource(TDataSource *source);
    void SetDataField(const QString &fieldName);
    void SetReadOnly(bool readOnly);
    TFieldDataLink *DataLink() const { return m_link; }
    // Writes a changed text into the field (errors reach the caller).
    void UpdateRecord();
    bool Modified() const { return m_modified; }

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // The text shown for the field (display or edit form); overridden by masked editors.
    virtual QString fieldText(bool editing) const;
    // Writes the text into the field.
    virtual void writeText(const QString &text);

    void showField();
    void showStart();

private:
    void textEditedByUser();

    TFieldDataLink *m_link;
    bool m_modified = false;
    bool m_showing = false;
};
