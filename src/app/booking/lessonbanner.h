#pragma once

#include "app/booking/nextlesson.h"

#include <QFrame>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QSystemTrayIcon;
class QTimer;
class QuietRequest;

// The strip above every screen that says, from 15 minutes before the user's next lesson,
// "Za 15 min začíná lekce s ..." with a button that opens the lesson screen; when the program
// is in the background the same news goes out as a desktop notification (through the system
// tray where there is one), once per lesson. It asks the server for the next lesson quietly
// after sign-in and every five minutes, and only while the server offers reminders.
class TLessonBanner : public QFrame {
    Q_OBJECT
public:
    static constexpr int LeadMinutes = 15;

    explicit TLessonBanner(QWidget *parent = nullptr);
    ~TLessonBanner() override;

    QLabel *lb_text;
    QPushButton *btn_open;
    QPushButton *btn_hide;

    // Opens the lesson screen (set by the program).
    std::function<void()> openLesson;
    // Sends a desktop notification (title, text); replaced in tests.
    std::function<void(const QString &, const QString &)> notify;
    // Whether the program is in the background now; replaced in tests.
    std::function<bool()> inBackground;

    // The session began or ended: starts asking for the next lesson, or stops and hides.
    void SessionChanged();
    // Shows, updates or hides the strip for the current time (also run by its timer).
    void Tick();
    const std::optional<TNextLesson> &NextLesson() const { return m_next; }
    // Asks the server for the next lesson now.
    void AskNextLesson();

private:
    void trayNotify(const QString &title, const QString &text);

    QuietRequest *m_request;
    QTimer *m_tick;
    QTimer *m_poll;
    QSystemTrayIcon *m_tray = nullptr;
    std::optional<TNextLesson> m_next;
    qint64 m_dismissed = 0; // the lesson whose strip the user hid
    qint64 m_notified = 0;  // the lesson already notified
};
