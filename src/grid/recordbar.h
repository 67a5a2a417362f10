#pragma once

#include "grid/controls/dbnavigator.h"

#include <QPointer>
#include <QWidget>

class QPushButton;
class TDataSource;

// The bar at the top of every record dialog: a navigator over the dialog's table and the
// close button; it takes the dialog's keys before its controls, asks before a record with
// unsaved changes is lost, and lets a record be deleted only after a confirmation.
class Tfre : public QWidget {
    Q_OBJECT
public:
    explicit Tfre(QWidget *parent = nullptr);

    TDBNavigator *nv;
    QPushButton *btnclose;

    // Attaches the bar to its dialog's table, with the visible navigator buttons and the
    // control that takes the focus when editing starts.
    void Bind(TDataSource *source, TNavigateButtons visibleButtons, QWidget *firstField);
    TDataSource *DataSource() const { return m_source; }

    // Performs a navigator action under the bar's rules; errors reach the caller.
    void NavAction(TNavigateBtn button);
    // The question before closing with unsaved changes; true when the dialog may close.
    bool CloseQuery();
    // Handles a key of the dialog; true when it is consumed.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool editing() const;
    bool browsing() const;
    bool canModify() const;
    void closeDialog();

    TDataSource *m_source = nullptr;
    QPointer<QWidget> m_firstField;
    QPointer<QWidget> m_window;
};
