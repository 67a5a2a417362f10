#pragma once

#include "grid/services.h"

#include <QDateTime>
#include <QObject>
#include <functional>

class QFrame;
class QGroupBox;
class QLabel;
class QToolButton;
class QVBoxLayout;
class QWidget;

// The timetable's booking features for a client, each shown only when the server offers it:
// the cancel button disabled with the school's deadline as its reason (and a way to write to
// the teacher instead), the low-balance mark on the hours panel and the offer of a new order
// after a booking, repeating a booking over weeks, and waiting for a slot to come free.
class TTimetableExtras : public QObject {
    Q_OBJECT
public:
    // Places its buttons after the given toolbar buttons, its reason strip into the screen's
    // layout below the header, and marks the hours panel.
    TTimetableExtras(const TServices &services, QWidget *toolbar, QToolButton *cancelButton,
                     QVBoxLayout *screenLayout, QGroupBox *hoursPanel, QObject *parent);

    QToolButton *spb_repeat;  // "Opakovat..."
    QToolButton *spb_wait;    // "Čekat na uvolnění..."
    QFrame *pan_cancelreason; // why the cancel button is off
    QLabel *lb_cancelreason;
    QToolButton *spb_message; // "Napsat lektorovi": lesson chat or e-mail

    // The screen was entered: which features to show for this user and server.
    void Enter();
    // The current lesson changed (after the screen's own buttons were set).
    void Update();
    // The hours panel was filled: marks a low balance.
    void MarkBalance(double bookable);
    // A booking succeeded and the hours panel was filled again: offers a new order when the
    // hours left are at the school's warning level.
    void AfterBooking();

    void spb_repeatClick();
    void spb_waitClick();
    void MessageByChat();
    void MessageByEmail();

    // Runs after a repeating booking so the screen re-reads and recomputes.
    std::function<void()> afterRepeat;

private:
    struct Row {
        qint64 id = 0, teacher = 0;
        int status = 0;
        double hours = 1;
        QDateTime when;
        QString teacherName;
    };
    Row currentRow() const;
    bool isClient() const;

    TServices m_services;
    QToolButton *m_cancel;
    QGroupBox *m_hours;
    QString m_hoursTitle;
    double m_bookable = 0;
};
