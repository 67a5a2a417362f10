#pragma once

#include "classroomlines.h"

#include <QObject>
#include <QString>
#include <optional>

class Tfrlearn;
class TClassroomBar;
class TClassroomOverlay;
class TLessonNotes;
struct TServices;
class TPointerThrottle;
class QWidget;

// The classroom of a live lesson on the lesson screen, over partner lines that a partner or
// relay without them ignores: a following student may look around in the book on his own and
// come back to the teacher's page with one button (the teacher's pages are noted meanwhile,
// and the teacher sees whether the student is on his page); the teacher (and the student when
// allowed) shows a pointer and draws highlight strokes that both sides see on the same spot of
// the same page; and the notes of the lesson that the teacher sends the student.
class TLessonClassroom : public QObject {
    Q_OBJECT
public:
    TLessonClassroom(Tfrlearn &screen, const TServices &services);
    ~TLessonClassroom() override;

    TClassroomBar *bar() const { return m_bar; }
    TClassroomOverlay *overlay() const { return m_overlay; }
    TLessonNotes *notes() const { return m_notes; }
    void setCaptions();

    // Student: leaving the teacher's page to look around, and coming back to it (and locking).
    bool lookingAround() const { return m_looking; }
    void startLookingAround();
    void returnToTeacher();
    // The teacher's page while looking around: noted, not shown. True when it was held back.
    bool holdsTeacherPage(int bookNumber, std::optional<int> page);
    // The page the teacher is on, as last heard (student).
    std::optional<PageKey> teacherPage() const;
    // Teacher: the student's last reported page state; none before the first report.
    std::optional<ClassroomLines::PageStateLine> studentState() const { return m_studentState; }
    bool studentOnOwnPage() const;
    // Student: whether the teacher allows the pointer and the highlighter.
    bool drawAllowed() const { return m_drawAllowed; }

    // Hooks of the screen: following switched, a page shown, status panel 2's text, the screen
    // shown, a recording the teacher starts.
    void syncChanged(bool on);
    void pageShown();
    void screenEntered();
    void recordingPlayed(int recording);
    QString statusText(const QString &partnerText);
    // The own marks tools and their lines.
    void setPointerTool(bool on);
    void setHighlighter(bool on);
    void clearMarks();
    void setDrawAllowed(bool allowed);
    // Thinning of pointer lines.
    TPointerThrottle &throttle() { return *m_throttle; }

private:
    PageKey currentKey() const;
    bool student() const;
    bool partnerPresent() const;
    bool partnerMayDraw() const;
    void partnerLine(const QByteArray &command, const QByteArray &rest);
    void partnerPresence(bool present);
    void reportPageState();
    void sendStroke(const QList<PageSpot> &points);
    void updateControls();
    void updateStatus();
    void placeOverlay();
    QRectF pageRect() const;
    void watchBrowser();
    bool eventFilter(QObject *watched, QEvent *event) override;

    Tfrlearn &m_screen;
    TClassroomBar *m_bar;
    TClassroomOverlay *m_overlay;
    TPointerThrottle *m_throttle;
    TLessonNotes *m_notes;
    bool m_looking = false;
    int m_teacherBook = -1;
    std::optional<int> m_teacherPage;
    std::optional<ClassroomLines::PageStateLine> m_sentState;
    std::optional<ClassroomLines::PageStateLine> m_studentState;
    bool m_drawAllowed = false;
    bool m_pointerOut = false;
    PageKey m_pointerKey;
    QString m_partnerText;
    QObject *m_watchedBrowser = nullptr;
};
