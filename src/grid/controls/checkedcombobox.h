#pragma once

#include "grid/controls/checkeditems.h"

#include <QWidget>
#include <functional>

class QLineEdit;
class QToolButton;
class TCheckPopup;
class TClientTable;

// A drop-down list with check boxes for choosing several statuses or types at once: a
// read-only box shows the selection, the button opens a pop-up check list; the marks give a
// filter condition and can be saved and restored by position.
class TCheckedComboBox : public QWidget {
    Q_OBJECT
public:
    explicit TCheckedComboBox(QWidget *parent = nullptr);
    ~TCheckedComboBox() override;

    // --- properties ---
    const QList<TCheckedItem> &Items() const { return m_items.Items(); }
    // Any change refills the check list with every item unchecked.
    void SetItems(const QList<TCheckedItem> &items);
    bool Sorted() const { return m_items.Sorted(); }
    void SetSorted(bool sorted);
    TQuoteStyle QuoteStyle() const { return m_items.QuoteStyle(); }
    void SetQuoteStyle(TQuoteStyle style);
    int Columns() const { return m_columns; }
    void SetColumns(int columns);
    int DropDownLines() const { return m_dropDownLines; }
    // Only values from 2 to 20 are taken.
    void SetDropDownLines(int lines);
    QString EmptyValue() const { return m_items.EmptyValue(); }
    void SetEmptyValue(const QString &text);
    QString AllValue() const { return m_items.AllValue(); }
    void SetAllValue(const QString &text);
    bool AllowNone() const { return m_items.AllowNone(); }
    void SetAllowNone(bool allow);

    std::function<void()> OnChange;  // after a change of the marks made through the control
    std::function<void()> OnCloseUp; // after the pop-up closed
    std::function<void()> OnClick;   // the button was clicked to open the pop-up
    std::function<void()> OnEnter;   // the text box got the focus
    std::function<void()> OnExit;    // the text box lost the focus

    // --- operations ---
    QString SelectedText() const { return m_items.SelectedText(); }
    QString FilterCondition(const QString &fieldName, bool orForm) const {
        return m_items.FilterCondition(fieldName, orForm);
    }
    QString CheckedPositions() const { return m_items.CheckedPositions(); }
    void RestoreCheckedPositions(const QString &text);
    // Items from a lookup table (key field by number, text field by number or name), then
    // every item checked.
    void FillFromTable(const TClientTable &table, int keyField, const QString &textField);
    void Clear();
    bool Checked(int index) const { return m_items.Checked(index); }
    void SetChecked(int index, bool checked);

    // --- pop-up ---
    void DropDown();
    void CloseUp();
    bool PoppedUp() const;
    // The lines the pop-up shows: DropDownLines, or with several columns the item count
    // divided by the columns plus one; always between 2 and 20.
    int PopupLines() const;
    TCheckPopup *Popup() const { return m_popup; }
    QLineEdit *TextBox() const { return m_edit; }
    QToolButton *DropButton() const { return m_button; }

    QSize sizeHint() const override;

    // Called by the pop-up: the user changed the marks.
    void marksChangedByUser();
    TCheckedItems &ItemModel() { return m_items; }
    void popupClosed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refreshText();

    TCheckedItems m_items;
    QLineEdit *m_edit;
    QToolButton *m_button;
    TCheckPopup *m_popup;
    int m_columns = 0;
    int m_dropDownLines = 6;
};
