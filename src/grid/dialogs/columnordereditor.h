#pragma once

#include "grid/columnorder.h"

#include <QDialog>
#include <functional>

class QListWidget;
class QPushButton;
class QToolButton;
class TDBGridEx;

// The column order editor of a grid frame: lists the grid's visible columns and moves the
// selected ones up, down, to the top or to the bottom, changing the grid at once; can bring
// back the list's standard columns.
class Tfdbfrgcols : public QDialog {
    Q_OBJECT
public:
    explicit Tfdbfrgcols(QWidget *parent = nullptr);

    QListWidget *lb;
    QToolButton *spbtop;
    QToolButton *spbup;
    QToolButton *spbdn;
    QToolButton *spbbottom;
    QPushButton *btndefault;
    QPushButton *btnclose;

    // Fills the list from the grid; the restore action (may be empty) runs on the
    // standard-settings button, which is shown only when there is one.
    void Setup(TDBGridEx *grid, std::function<void()> restoreDefault);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillList();
    void selectionChanged();
    void updateButtons();
    void move(void (TColumnOrder::*operation)());
    void restoreDefault();

    TDBGridEx *m_grid = nullptr;
    std::function<void()> m_restoreDefault;
    TColumnOrder m_order;
    bool m_filling = false;
};
