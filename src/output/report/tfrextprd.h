#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Tisk dokumentu": the chosen printer, the range to print (everything, a selection of pages
// and ranges, or pages from-to) and the number of copies.
class Tfrextprd : public QDialog {
    Q_OBJECT
public:
    // Starts with "Od:" 1, "Do:" the page count, "Výběr:" 1-count and "Všechno" chosen.
    Tfrextprd(int pageCount, QWidget *parent = nullptr);

    QLabel *labprinter;
    QRadioButton *rball, *rbselection, *rbpages;
    QLabel *labselection, *labfrom, *labto;
    QLineEdit *edselection, *edfrom, *edto, *edcopies;
    QPushButton *btnok, *btncancel;

    // The printer's device name, and ": " and the port when it is known.
    void SetPrinter(const QString &name, const QString &port);
    // The pages chosen, in print order.
    QList<int> Pages(int pageCount) const;
    // The number of copies (1 when not a number).
    int Copies() const;

private:
    void rangeChanged();
};
