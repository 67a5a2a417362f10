#pragma once

#include "wire/fielddef.h"

#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// The find dialog of a grid frame: a label naming the searched column, the text to find, and
// the buttons for a nearest and an exact search; checks the text against the searched
// field's type before it closes.
class Tffrmfind : public QDialog {
    Q_OBJECT
public:
    explicit Tffrmfind(QWidget *parent = nullptr);

    QLabel *lb;
    QLineEdit *ed;
    QPushButton *btnfind;
    QPushButton *btnexact;
    QPushButton *btncancel;

    // The searched field (none: any text is accepted).
    void SetField(std::optional<TFieldDef> field) { m_field = std::move(field); }
    void SetText(const QString &text);
    QString Text() const;
    // Whether the text starts fully selected (otherwise nothing is selected).
    bool SelectAll = true;
    // Set by the button that ended the dialog: true for the exact search.
    bool Exact() const { return m_exact; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void search(bool exact);
    void applySelection();

    std::optional<TFieldDef> m_field;
    bool m_exact = false;
    bool m_shown = false;
};
