#pragma once

#include "grid/controls/datemask.h"
#include "grid/controls/dbedit.h"

#include <QFrame>

class QCalendarWidget;
class QToolButton;

// The text part of a bound date picker: a borderless bound edit that, once entered, edits
// the date through a date mask and keeps the field's time of day when it writes.
class TDBDateEdit : public TDBEdit {
    Q_OBJECT
public:
    explicit TDBDateEdit(QWidget *parent = nullptr);
    void SetMask(const QString &mask) { m_maskText = mask; }
    void SetApplyMask(bool apply) { m_applyMask = apply; }
    bool MaskActive() const { return m_mask.usable(); }
    void ShowField() { showField(); }

signals:
    void dropDownRequested();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    QString fieldText(bool editing) const override;
    void writeText(const QString &text) override;

private:
    QString m_maskText;
    bool m_applyMask = true;
    TDateMask m_mask;
};

// A date picker bound to a date or date-time field: the bound edit over its text area and a
// calendar that opens with the field's date (or today), optionally with week numbers; a
// picked date replaces the field's date and keeps its time of day.
class TDBEditDateTimePicker : public QFrame {
    Q_OBJECT
public:
    explicit TDBEditDateTimePicker(QWidget *parent = nullptr);

    void SetDataSource(TDataSource *source);
    TDataSource *DataSource() const;
    void SetDataField(const QString &fieldName);
    QString DataField() const;
    void SetReadOnly(bool readOnly);
    bool ReadOnly() const { return m_readOnly; }
    bool WeekNumbers() const { return m_weekNumbers; }
    void SetWeekNumbers(bool on) { m_weekNumbers = on; }
    QString DefaultEditMask() const { return m_defaultEditMask; }
    void SetDefaultEditMask(const QString &mask);
    bool AutoApplyEditMask() const { return m_autoApplyEditMask; }
    void SetAutoApplyEditMask(bool on);

    TDBDateEdit *Edit() const { return m_edit; }
    QToolButton *DropButton() const { return m_button; }
    QCalendarWidget *Calendar() const { return m_calendar; }
    bool CalendarShown() const;

    // Opens the calendar on the field's date, or today when the field is empty.
    void DropDown();
    // Takes a picked date: when the field can be edited, puts the table into edit state and
    // replaces the field's date, keeping its time of day (written only when it changes).
    void PickDate(const QDate &date);

private:
    TDBDateEdit *m_edit;
    QToolButton *m_button;
    QFrame *m_popup;
    QCalendarWidget *m_calendar;
    bool m_readOnly = false;
    bool m_weekNumbers = false;
    QString m_defaultEditMask = QStringLiteral("!99/99/99;1;_");
    bool m_autoApplyEditMask = true;
};
