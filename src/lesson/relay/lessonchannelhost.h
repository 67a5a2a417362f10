#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A teacher on line as the student's connect offers it.
struct OnlineTeacher {
    QString id; // IDUSER as text
    QString name;
};

// Who signs on to the relay: the session's user type, job and user, and the relay host.
struct LessonIdentity {
    int userType = 4;
    int jobId = 0;
    int userId = 0;
    QString relayServer;
};

// What the lesson channel asks of the screen that owns it: the status texts, the dialogs of
// connecting, the chat history, and the screen changes that relay messages bring. Everything
// does nothing by default, so a test host overrides only what it looks at.
class LessonChannelHost {
public:
    virtual ~LessonChannelHost() = default;

    // The session's identity, read when connecting.
    virtual LessonIdentity identity();
    // A relay token for the next sign-on, asked of the central server: empty when the server
    // issues none (it predates them) or there is no session to ask for one, and the sign-on
    // goes without; no value when the server could not be asked (the attempt fails like an
    // unreachable relay).
    virtual std::optional<QByteArray> relayToken();

    // Status panel 1 and the connect button's caption.
    virtual void connectionTextsChanged(const QString &panel, const QString &button);
    // Status panel 2, painted at once.
    virtual void statusTextChanged(const QString &text);

    // Student's connect: the teachers on line (fetched anew), the choice among several
    // (sorted by name; the index chosen or -1 when cancelled) and the end of the list's use.
    virtual QList<OnlineTeacher> fetchOnlineTeachers();
    virtual int chooseTeacher(const QList<OnlineTeacher> &teachers);
    virtual void closeOnlineTeachers();
    // The window shown while connecting.
    virtual void openProgress(const QString &caption, const QString &text);
    virtual void closeProgress();

    // Teacher side: the full name of a user (empty when unknown or signed out).
    virtual QString userName(const QString &userId);
    // Partner changes: the student's history saved when the partner changes, the teacher's
    // history of a new partner loaded, the teacher's view emptied when the partner goes.
    virtual void saveChatHistory();
    virtual void loadChatHistory(int userId);
    virtual void forgetChatHistory();
    // The send, sync and client buttons follow whether there is a partner.
    virtual void partnerChanged(bool hasPartner);

    // A chat message from the partner, with the writer's name.
    virtual void chatReceived(const QString &writer, const QStringList &lines);
    // Following was switched on or off (also to the same value).
    virtual void syncChanged(bool on);
    // The teacher's "show this page": makes the book with that number current with the page
    // (the book's first page when none); false for a book that is not in the library.
    virtual bool followBook(int bookNumber, std::optional<int> page);
    // Shows the current page; called from the event queue after followBook.
    virtual void showFollowedPage();
    // The teacher's recording command for the current book: the recording's index and the
    // action (1 play, 2 pause, 3 stop).
    virtual void followAudio(int audioIndex, int action);
    // The current book's number and page; false when the library is empty. The teacher sends
    // them to a student that comes back after being lost while following was on.
    virtual bool currentPage(int &bookNumber, int &page);
};
