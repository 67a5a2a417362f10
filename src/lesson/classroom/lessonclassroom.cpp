#include "lessonclassroom.h"

#include "base/logging.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "lesson/classroom/classroombar.h"
#include "lesson/classroom/classroomoverlay.h"
#include "lesson/classroom/lessonnotes.h"
#include "lesson/classroom/pointerthrottle.h"
#include "lesson/screen/lessonpageview.h"
#include "lesson/screen/lessonscreenhooks.h"
#include "lesson/screen/tfrlearn.h"
#include "seam/guard.h"

#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace Lines = ClassroomLines;

TLessonClassroom::TLessonClassroom(Tfrlearn &screen, const TServices &services)
    : QObject(&screen), m_screen(screen), m_bar(new TClassroomBar(&screen)),
      m_overlay(new TClassroomOverlay(screen.pages)),
      m_throttle(new TPointerThrottle(
          [this](const QByteArray &line) { m_screen.channel().PostToPartner(line); },
          TPointerThrottle::DefaultInterval, this)),
      m_notes(new TLessonNotes(screen, services, *m_bar)) {
    m_overlay->setPageRect([this] { return pageRect(); });
    LessonChannel &channel = screen.channel();
    connect(&channel, &LessonChannel::partnerLine, this, &TLessonClassroom::partnerLine);
    connect(&channel, &LessonChannel::partnerPresenceChanged, this,
            &TLessonClassroom::partnerPresence);
    connect(m_bar->spblookaround, &QToolButton::clicked, this, [this] {
        RunGuarded([this] { m_looking ? returnToTeacher() : startLookingAround(); });
    });
    connect(m_bar->spbpointer, &QToolButton::toggled, this, &TLessonClassroom::setPointerTool);
    connect(m_bar->spbhighlight, &QToolButton::toggled, this, &TLessonClassroom::setHighlighter);
    connect(m_bar->spbclear, &QToolButton::clicked, this, &TLessonClassroom::clearMarks);
    connect(m_bar->spballowdraw, &QToolButton::toggled, this, &TLessonClassroom::setDrawAllowed);
    connect(m_overlay, &TClassroomOverlay::pointerMoved, this,
            [this](std::optional<PageSpot> spot) {
                if (!partnerPresent())
                    return;
                m_pointerKey = currentKey();
                m_pointerOut = spot.has_value();
                m_throttle->post(Lines::pointer(m_pointerKey, spot));
            });
    connect(m_overlay, &TClassroomOverlay::strokeDrawn, this, &TLessonClassroom::sendStroke);
    // The layer follows the page area: its size, the page shown, the scrolling.
    screen.pages->installEventFilter(this);
    screen.ScrollBox1->viewport()->installEventFilter(this);
    connect(screen.pages, &QStackedWidget::currentChanged, this, &TLessonClassroom::placeOverlay);
    for (QScrollBar *bar : {screen.ScrollBox1->horizontalScrollBar(),
                            screen.ScrollBox1->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, m_overlay, qOverload<>(&QWidget::update));
    updateControls();
}

TLessonClassroom::~TLessonClassroom() = default;

void TLessonClassroom::setCaptions() {
    m_bar->setCaptions();
    m_bar->showLookingAround(m_looking);
}

bool TLessonClassroom::student() const {
    return m_screen.channel().isStudent();
}

bool TLessonClassroom::partnerPresent() const {
    return !m_screen.channel().partnerId().isEmpty() && m_screen.channel().isConnected();
}

PageKey TLessonClassroom::currentKey() const {
    const tbook *book = m_screen.CurrentBook();
    if (!book)
        return {};
    return {book->number, book->html ? 0 : m_screen.CurrentPage()};
}

// Looking around.

void TLessonClassroom::startLookingAround() {
    if (!student() || !m_screen.channel().syncOn() || m_looking)
        return;
    if (m_teacherBook < 0) {
        const PageKey here = currentKey();
        m_teacherBook = here.book;
        m_teacherPage = here.page;
    }
    m_looking = true;
    m_screen.RefreshStudentLock();
    reportPageState();
    updateControls();
    updateStatus();
}

void TLessonClassroom::returnToTeacher() {
    if (!m_looking)
        return;
    m_looking = false;
    if (m_teacherBook >= 0 && m_screen.followBook(m_teacherBook, m_teacherPage))
        m_screen.ShowPage();
    m_screen.RefreshStudentLock();
    reportPageState();
    updateControls();
    updateStatus();
}

bool TLessonClassroom::holdsTeacherPage(int bookNumber, std::optional<int> page) {
    if (!student())
        return false;
    m_teacherBook = bookNumber;
    m_teacherPage = page;
    if (!m_looking)
        return false;
    updateStatus();
    return true;
}

std::optional<PageKey> TLessonClassroom::teacherPage() const {
    if (m_teacherBook < 0)
        return std::nullopt;
    return PageKey{m_teacherBook, m_teacherPage.value_or(-1)};
}

bool TLessonClassroom::studentOnOwnPage() const {
    return m_studentState && (!m_studentState->away || m_studentState->key == currentKey());
}

void TLessonClassroom::reportPageState() {
    if (!student() || !partnerPresent() || !m_screen.channel().syncOn())
        return;
    const Lines::PageStateLine state{m_looking, currentKey()};
    if (m_sentState && m_sentState->away == state.away && m_sentState->key == state.key)
        return;
    if (m_screen.channel().PostToPartner(Lines::pageState(state.away, state.key)))
        m_sentState = state;
}

// Hooks of the screen.

void TLessonClassroom::syncChanged(bool on) {
    if (!on) {
        m_looking = false;
        m_sentState.reset();
        m_studentState.reset();
    }
    updateControls();
    updateStatus();
}

void TLessonClassroom::pageShown() {
    watchBrowser();
    placeOverlay();
    const PageKey key = currentKey();
    if (!(key == m_overlay->marks().page())) {
        if (m_pointerOut && partnerPresent())
            m_throttle->post(Lines::pointer(m_pointerKey, std::nullopt));
        m_pointerOut = false;
        m_overlay->marks().setPage(key);
        m_overlay->update();
    }
    m_notes->pageShown();
    reportPageState();
    updateControls();
    updateStatus();
}

void TLessonClassroom::screenEntered() {
    m_notes->screenEntered();
}

void TLessonClassroom::recordingPlayed(int recording) {
    m_notes->recordingPlayed(recording);
}

QString TLessonClassroom::statusText(const QString &partnerText) {
    m_partnerText = partnerText;
    const QString state = m_bar->lbstate->text();
    if (partnerText.isEmpty() || state.isEmpty())
        return partnerText;
    return partnerText + QStringLiteral(" – ") + state;
}

void TLessonClassroom::updateStatus() {
    QString state;
    if (student() && m_looking) {
        state = m_teacherPage && *m_teacherPage > 0
                    ? FormatText(AppText(1687), {*m_teacherPage})
                    : AppText(1688);
    } else if (!student() && m_studentState && m_screen.channel().syncOn() && partnerPresent()) {
        state = studentOnOwnPage() ? AppText(1689)
                                   : FormatText(AppText(1690), {m_studentState->key.page});
    }
    m_bar->lbstate->setText(state);
    if (m_screen.isVisible() && LessonHooks().setStatusPanel)
        LessonHooks().setStatusPanel(2, statusText(m_partnerText));
}

// The partner's lines.

bool TLessonClassroom::partnerMayDraw() const {
    return student() || m_bar->spballowdraw->isChecked();
}

void TLessonClassroom::partnerLine(const QByteArray &command, const QByteArray &rest) {
    TPageMarks &marks = m_overlay->marks();
    bool taken = true;
    if (command == Lines::PageState) {
        const auto state = Lines::readPageState(rest);
        taken = state && !student();
        if (taken) {
            m_studentState = state;
            updateStatus();
        }
    } else if (command == Lines::Pointer) {
        const auto line = Lines::readPointer(rest);
        taken = line && partnerMayDraw();
        if (taken && marks.setPointer(line->key, line->spot))
            m_overlay->update();
    } else if (command == Lines::Stroke) {
        const auto line = Lines::readStroke(rest);
        taken = line && partnerMayDraw();
        if (taken && marks.addStroke(line->key, line->points))
            m_overlay->update();
    } else if (command == Lines::StrokesClear) {
        const auto key = Lines::readStrokesClear(rest);
        taken = key && partnerMayDraw();
        if (taken && *key == marks.page()) {
            marks.clearStrokes();
            m_overlay->update();
        }
    } else if (command == Lines::DrawAllow) {
        const auto allowed = Lines::readDrawAllow(rest);
        taken = allowed && student();
        if (taken) {
            m_drawAllowed = *allowed;
            if (!m_drawAllowed) {
                setPointerTool(false);
                setHighlighter(false);
            }
            updateControls();
        }
    } else if (command == Lines::NotesSent) {
        m_notes->notesArrived();
    } else {
        return; // a line of another feature
    }
    if (!taken)
        qCDebug(lcLesson) << "classroom line dropped:" << command << rest.left(80);
}

void TLessonClassroom::partnerPresence(bool present) {
    m_studentState.reset();
    m_sentState.reset();
    m_throttle->drop();
    m_pointerOut = false;
    m_overlay->marks().hidePointer();
    m_overlay->update();
    if (student()) {
        m_drawAllowed = false;
        setPointerTool(false);
        setHighlighter(false);
    } else if (present && m_bar->spballowdraw->isChecked()) {
        m_screen.channel().PostToPartner(Lines::drawAllow(true));
    }
    m_notes->partnerPresence(present);
    updateControls();
    updateStatus();
}

// The own marks.

void TLessonClassroom::setPointerTool(bool on) {
    on = on && (!student() || m_drawAllowed);
    {
        const QSignalBlocker blockPointer(m_bar->spbpointer), blockHighlight(m_bar->spbhighlight);
        m_bar->spbpointer->setChecked(on);
        if (on)
            m_bar->spbhighlight->setChecked(false);
    }
    if (on)
        m_overlay->setTool(TClassroomOverlay::Tool::Pointer);
    else if (m_overlay->tool() == TClassroomOverlay::Tool::Pointer)
        m_overlay->setTool(TClassroomOverlay::Tool::None);
}

void TLessonClassroom::setHighlighter(bool on) {
    on = on && (!student() || m_drawAllowed);
    {
        const QSignalBlocker blockPointer(m_bar->spbpointer), blockHighlight(m_bar->spbhighlight);
        m_bar->spbhighlight->setChecked(on);
        if (on)
            m_bar->spbpointer->setChecked(false);
    }
    if (on)
        m_overlay->setTool(TClassroomOverlay::Tool::Highlighter);
    else if (m_overlay->tool() == TClassroomOverlay::Tool::Highlighter)
        m_overlay->setTool(TClassroomOverlay::Tool::None);
}

void TLessonClassroom::sendStroke(const QList<PageSpot> &points) {
    if (!partnerPresent())
        return;
    const PageKey key = currentKey();
    // A long stroke goes in pieces; each piece starts where the one before ended.
    for (qsizetype from = 0; from + 1 < points.size(); from += Lines::MaxStrokePoints - 1)
        m_screen.channel().PostToPartner(
            Lines::stroke(key, points.mid(from, Lines::MaxStrokePoints)));
}

void TLessonClassroom::clearMarks() {
    if (student() && !m_drawAllowed)
        return;
    m_overlay->marks().clearStrokes();
    m_overlay->update();
    if (partnerPresent())
        m_screen.channel().PostToPartner(Lines::strokesClear(currentKey()));
}

void TLessonClassroom::setDrawAllowed(bool allowed) {
    if (student())
        return;
    if (partnerPresent())
        m_screen.channel().PostToPartner(Lines::drawAllow(allowed));
}

void TLessonClassroom::updateControls() {
    const bool isStudent = student();
    const bool following = m_screen.channel().syncOn() && partnerPresent();
    m_bar->spblookaround->setVisible(isStudent);
    m_bar->spblookaround->setEnabled(isStudent && following);
    m_bar->showLookingAround(m_looking);
    const bool mayDraw = (!isStudent || m_drawAllowed) && m_screen.CurrentBook();
    for (QToolButton *tool : {m_bar->spbpointer, m_bar->spbhighlight, m_bar->spbclear})
        tool->setEnabled(mayDraw);
    m_bar->spballowdraw->setVisible(!isStudent);
    m_bar->spballowdraw->setEnabled(!isStudent && partnerPresent());
}

// The layer over the page.

void TLessonClassroom::placeOverlay() {
    QWidget *shown = m_screen.pages->currentWidget();
    QRect area;
    if (shown == m_screen.ScrollBox1) {
        QWidget *viewport = m_screen.ScrollBox1->viewport();
        area = QRect(viewport->mapTo(m_screen.pages, QPoint()), viewport->size());
    } else if (shown) {
        area = shown->geometry();
    }
    m_overlay->setGeometry(area);
    m_overlay->raise();
    m_overlay->update();
}

QRectF TLessonClassroom::pageRect() const {
    QWidget *shown = m_screen.pages->currentWidget();
    const QPoint origin = m_overlay->pos();
    if (shown == m_screen.ScrollBox1) {
        QLabel *image = m_screen.Image1;
        if (image->pixmap().isNull() || image->size().isEmpty())
            return {};
        return QRectF(QPointF(image->mapTo(m_screen.pages, QPoint()) - origin), image->size());
    }
    QWebEngineView *view = m_screen.browser();
    if (!view || shown != view)
        return {};
    // An HTML book: the whole document, scrolled as the view shows it.
    const QPointF corner = view->mapTo(m_screen.pages, QPoint()) - origin;
    const QWebEnginePage *page = view->page();
    const QSizeF contents = page->contentsSize();
    if (contents.isEmpty())
        return QRectF(corner, view->size());
    const qreal zoom = page->zoomFactor();
    return QRectF(corner - page->scrollPosition() * zoom, contents * zoom);
}

void TLessonClassroom::watchBrowser() {
    QWebEngineView *view = m_screen.browser();
    if (!view || view == m_watchedBrowser)
        return;
    m_watchedBrowser = view;
    view->installEventFilter(this);
    QWebEnginePage *page = view->page();
    connect(page, &QWebEnginePage::scrollPositionChanged, m_overlay, qOverload<>(&QWidget::update));
    connect(page, &QWebEnginePage::contentsSizeChanged, m_overlay, qOverload<>(&QWidget::update));
    // Another document of the book: the marks belonged to the one before.
    connect(view, &QWebEngineView::urlChanged, this, [this] {
        m_overlay->marks().clearStrokes();
        m_overlay->marks().hidePointer();
        m_overlay->update();
    });
}

bool TLessonClassroom::eventFilter(QObject *, QEvent *event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
        QMetaObject::invokeMethod(this, &TLessonClassroom::placeOverlay, Qt::QueuedConnection);
    return false;
}
