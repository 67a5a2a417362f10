// The classroom tools between two lesson screens over the reference relay on private loopback
// ports: a student who looks around and comes back to the teacher's page, the pointer and the
// highlight strokes on the same spot of the page in windows of different sizes, and partners
// without these lines (a bare channel stands in for an older program).
#include "base/locations.h"
#include "base/session.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "lesson/books/bookcatalogue.h"
#include "lesson/classroom/classroombar.h"
#include "lesson/classroom/classroomlines.h"
#include "lesson/classroom/classroomoverlay.h"
#include "lesson/classroom/lessonclassroom.h"
#include "lesson/screen/lessonpageview.h"
#include "lesson/screen/tfrlearn.h"
#include "net/settings/settings.h"
#include "relayhubthread.h"
#include "scriptedseam.h"
#include "testlessonhost.h"
#include "globalservices.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace Lines = ClassroomLines;

namespace {

constexpr int Wait = 10000;
constexpr QSize PageSize(500, 700);

// A lesson screen with its own identity on the relay (both sides live in one process) and no
// chat history on the server.
class SideScreen : public Tfrlearn {
public:
    SideScreen(int userType, int userId, const QString &relay)
        : Tfrlearn(GlobalServices()), m_who{userType, 7, userId, relay} {}

    QStringList chats;

    LessonIdentity identity() override { return m_who; }
    QList<OnlineTeacher> fetchOnlineTeachers() override {
        return {{QStringLiteral("12"), QStringLiteral("Jana Učitelová")}};
    }
    int chooseTeacher(const QList<OnlineTeacher> &) override { return 0; }
    QString userName(const QString &) override { return QStringLiteral("Petr Žák"); }
    void saveChatHistory() override {}
    void loadChatHistory(int) override {}
    void chatReceived(const QString &writer, const QStringList &lines) override {
        chats += lines;
        Tfrlearn::chatReceived(writer, lines);
    }
    void show(int book, int page) {
        followBook(book, page);
        ShowPage();
    }
    TClassroomBar &bar() { return *classroom()->bar(); }
    TClassroomOverlay &overlay() { return *classroom()->overlay(); }
    // Where a pixel of the page's picture lies on the layer over the page.
    QPointF onOverlay(QPoint pixel) {
        return QPointF(Image1->mapTo(pages, pixel) - overlay().pos());
    }
    // The pixel of the page's picture under a spot of the page.
    QPointF pixelOf(PageSpot spot) {
        const QPointF at = overlay().toWidget(spot) + overlay().pos();
        return at - QPointF(Image1->mapTo(pages, QPoint()));
    }

private:
    LessonIdentity m_who;
};

// Book 1: six page pictures of 500 x 700 pixels with a grid, so that screenshots show where
// the marks lie; book 2: an HTML book.
void writeLibrary() {
    QDir().mkpath(AppLocations().dataFolder);
    QFile catalogue(AppLocations().booksIni);
    ASSERT_TRUE(catalogue.open(QIODevice::WriteOnly));
    catalogue.write(ToWin1250(QString::fromUtf8(
        "BooksVersion=1\r\nBooks=2\r\nName1=Angličtina pro začátečníky\r\n"
        "Lessons1=Lekce 1:1-3;Lekce 2:4-6\r\nName2=Čtení\r\nLessons2=html\r\n")));
    for (int page = 1; page <= 6; ++page) {
        QImage picture(PageSize, QImage::Format_RGB32);
        picture.fill(QColor(250, 248, 240));
        QPainter painter(&picture);
        painter.setPen(QColor(200, 200, 220));
        for (int x = 0; x < PageSize.width(); x += 50)
            painter.drawLine(x, 0, x, PageSize.height());
        for (int y = 0; y < PageSize.height(); y += 50)
            painter.drawLine(0, y, PageSize.width(), y);
        painter.setPen(Qt::black);
        QFont font = painter.font();
        font.setPixelSize(28);
        painter.setFont(font);
        painter.drawText(QRect(0, 10, PageSize.width(), 40), Qt::AlignCenter,
                         QStringLiteral("Lekce – strana %1").arg(page));
        for (int line = 0; line < 10; ++line)
            painter.drawText(40, 110 + line * 50, QStringLiteral("%1. Hello, how are you?").arg(line + 1));
        painter.end();
        const QString path = BookCatalogue::BookFilePath(1, page, PageImage);
        QDir().mkpath(QFileInfo(path).absolutePath());
        ASSERT_TRUE(picture.save(path, "JPG"));
    }
    const QString start = BookCatalogue::BookFilePath(2, 0, HtmlStart);
    QDir().mkpath(QFileInfo(start).absolutePath());
    QFile html(start);
    ASSERT_TRUE(html.open(QIODevice::WriteOnly));
    html.write("<html><body style='height:2000px'><h1>Reading</h1></body></html>");
}

void mouse(QWidget *target, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

// Drags the highlighter over the page through the pixels given.
void drawStroke(SideScreen &side, const QList<QPoint> &pixels) {
    QWidget *layer = &side.overlay();
    mouse(layer, QEvent::MouseButtonPress, side.onOverlay(pixels.first()), Qt::LeftButton);
    for (qsizetype i = 1; i < pixels.size(); ++i)
        mouse(layer, QEvent::MouseMove, side.onOverlay(pixels[i]), Qt::LeftButton);
    mouse(layer, QEvent::MouseButtonRelease, side.onOverlay(pixels.last()), Qt::NoButton);
}

bool near(QPointF a, QPointF b) {
    return (a - b).manhattanLength() <= 2.0;
}

class Classroom : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        InitLocations(dir.path() + QStringLiteral("/tellavo"));
        writeLibrary();
        SessionValues().setText(QStringLiteral("usertype=3"));
        BookCatalogue::LoadBookLibrary(QString(), 3);
        ASSERT_TRUE(relay.start());
        Settings().useSsl = false;
        Settings().onlinePortType = 0;
        host = QStringLiteral("127.0.0.1:%1").arg(relay.port());
    }
    void TearDown() override {
        student.reset();
        teacher.reset();
        BookCatalogue::ClearLibrary();
        SessionValues().clear();
        Settings() = AppSettings();
    }

    std::unique_ptr<SideScreen> makeSide(int type, int id, QSize size) {
        auto side = std::make_unique<SideScreen>(type, id, host);
        side->InitScreen();
        side->BuildBookMenu();
        side->resize(size);
        side->Tfrlearn::show();
        side->show(1, 2);
        return side;
    }
    // Both screens on line, the student following the teacher at page 2 of book 1.
    void startLesson(QSize teacherSize = {900, 700}, QSize studentSize = {1300, 900}) {
        teacher = makeSide(3, 12, teacherSize);
        student = makeSide(4, 40, studentSize);
        teacher->channel().ConnectToggle();
        ASSERT_TRUE(teacher->channel().isConnected());
        student->channel().ConnectToggle();
        ASSERT_TRUE(student->channel().isConnected());
        ASSERT_TRUE(QTest::qWaitFor([&] { return teacher->channel().partnerId() == "40"; }, Wait));
        ASSERT_TRUE(teacher->channel().SendSync(true, 1, 2));
        ASSERT_TRUE(QTest::qWaitFor([&] { return student->channel().syncOn(); }, Wait));
    }
    // Lines arrive in order: once a chat message sent after them is there, so are they.
    bool chatRoundTrip(LessonChannel &from, SideScreen &to) {
        const QString mark = QStringLiteral("značka %1").arg(++marks);
        if (!from.SendChat({mark}).delivered())
            return false;
        return QTest::qWaitFor([&] { return to.chats.contains(mark); }, Wait);
    }
    void saveShots(const char *name) {
        const QString folder = qEnvironmentVariable("TELLAVO_CLASSROOM_SHOTS");
        if (folder.isEmpty())
            return;
        QTest::qWait(50);
        teacher->grab().save(folder + QStringLiteral("/%1-teacher.png").arg(name));
        student->grab().save(folder + QStringLiteral("/%1-student.png").arg(name));
    }

    QTemporaryDir dir;
    ScriptedSeam seam;
    RelayHubThread relay;
    QString host;
    std::unique_ptr<SideScreen> teacher, student;
    int marks = 0;
};

TEST_F(Classroom, StudentLooksAroundWhileTheTeacherPagesAndReturnsToTheTeachersPage) {
    startLesson();
    ASSERT_TRUE(QTest::qWaitFor([&] { return student->CurrentPage() == 2; }, Wait));
    EXPECT_FALSE(student->sbNext->isEnabled());
    EXPECT_TRUE(student->bar().spblookaround->isEnabled());
    EXPECT_FALSE(teacher->bar().spblookaround->isVisible());
    // One key leaves and comes back, and it clashes with no other key of the screen.
    EXPECT_EQ(student->bar().spblookaround->shortcut(), QKeySequence(Qt::ALT | Qt::Key_M));
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacher->classroom()->studentState().has_value(); },
                                Wait));
    EXPECT_EQ(teacher->bar().lbstate->text(), QStringLiteral("Klient je na vaší straně"));

    QTest::mouseClick(student->bar().spblookaround, Qt::LeftButton);
    EXPECT_TRUE(student->classroom()->lookingAround());
    EXPECT_EQ(student->bar().spblookaround->text(), QStringLiteral("Zpět k vyučující&mu"));
    ASSERT_TRUE(student->sbNext->isEnabled());
    QTest::mouseClick(student->sbNext, Qt::LeftButton);
    QTest::mouseClick(student->sbNext, Qt::LeftButton);
    EXPECT_EQ(student->CurrentPage(), 4);
    EXPECT_TRUE(student->channel().syncOn());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return teacher->bar().lbstate->text() == QStringLiteral("Klient si prohlíží sám str. 4"); },
        Wait));
    EXPECT_EQ(teacher->classroom()->statusText(QStringLiteral("Připojen klient: Petr Žák")),
              QStringLiteral("Připojen klient: Petr Žák – Klient si prohlíží sám str. 4"));

    // The teacher pages on: the student's page stays, only the note of the teacher's page moves.
    teacher->show(1, 3);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return student->classroom()->teacherPage() == PageKey{1, 3}; }, Wait));
    ASSERT_TRUE(chatRoundTrip(teacher->channel(), *student));
    EXPECT_EQ(student->CurrentPage(), 4);
    EXPECT_EQ(student->bar().lbstate->text(),
              QStringLiteral("Prohlížíte sám, vyučující je na str. 3"));
    EXPECT_EQ(student->classroom()->statusText(QStringLiteral("Vyučující: Jana Učitelová")),
              QStringLiteral("Vyučující: Jana Učitelová – Prohlížíte sám, vyučující je na str. 3"));
    saveShots("lookaround");

    QTest::mouseClick(student->bar().spblookaround, Qt::LeftButton);
    EXPECT_FALSE(student->classroom()->lookingAround());
    EXPECT_EQ(student->CurrentPage(), 3);
    EXPECT_TRUE(student->StudentLocked());
    for (QToolButton *locked : {student->sbNext, student->sbprior, student->sbgotopage,
                                student->spbbook})
        EXPECT_FALSE(locked->isEnabled()) << locked->objectName().toStdString();
    EXPECT_TRUE(student->bar().lbstate->text().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return teacher->bar().lbstate->text() == QStringLiteral("Klient je na vaší straně"); },
        Wait));
    // Locked again: the teacher's next page is shown at once.
    teacher->show(1, 5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return student->CurrentPage() == 5; }, Wait));

    // Following switched off while looking around ends looking around.
    QTest::mouseClick(student->bar().spblookaround, Qt::LeftButton);
    ASSERT_TRUE(teacher->channel().SendSync(false, 1, 5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !student->channel().syncOn(); }, Wait));
    EXPECT_FALSE(student->classroom()->lookingAround());
    EXPECT_FALSE(student->bar().spblookaround->isEnabled());
    EXPECT_TRUE(teacher->bar().lbstate->text().isEmpty());
    EXPECT_EQ(seam.boxTexts(), QStringList());
}

// The pointer and a stroke land on the same pixel of the page's picture for the partner, whose
// window is smaller (the page scrolled) or larger (the page centred further right).
TEST_F(Classroom, PointerAndStrokeArriveOnTheSameSpotOfThePageForOtherWindowSizes) {
    startLesson({900, 760}, {640, 520});
    ASSERT_TRUE(QTest::qWaitFor([&] { return student->CurrentPage() == 2; }, Wait));
    const struct {
        QSize studentSize;
        QPoint pointer;
        QList<QPoint> stroke;
        const char *shots;
    } cases[] = {
        {{640, 520}, {120, 300}, {{60, 160}, {160, 170}, {260, 165}, {360, 160}}, "small"},
        {{1400, 1000}, {420, 610}, {{40, 460}, {240, 465}, {440, 460}}, "large"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.shots);
        student->resize(c.studentSize);
        QTest::qWait(30); // the layers take their place from the event queue
        student->ScrollBox1->verticalScrollBar()->setValue(120);
        const QPointF imageAt = QPointF(student->Image1->mapTo(student.get(), QPoint()));

        QTest::mouseClick(teacher->bar().spbpointer, Qt::LeftButton);
        ASSERT_EQ(teacher->overlay().tool(), TClassroomOverlay::Tool::Pointer);
        mouse(&teacher->overlay(), QEvent::MouseMove, teacher->onOverlay(c.pointer), Qt::NoButton);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const auto spot = student->overlay().marks().pointer();
                return spot && near(student->pixelOf(*spot), c.pointer);
            },
            Wait));

        QTest::mouseClick(teacher->bar().spbhighlight, Qt::LeftButton);
        EXPECT_FALSE(teacher->bar().spbpointer->isChecked());
        drawStroke(*teacher, c.stroke);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return student->overlay().marks().strokes().size() == 1; }, Wait));
        const QList<PageSpot> stroke = student->overlay().marks().strokes().first();
        EXPECT_EQ(stroke.size(), c.stroke.size());
        EXPECT_TRUE(near(student->pixelOf(stroke.first()), c.stroke.first()));
        EXPECT_TRUE(near(student->pixelOf(stroke.last()), c.stroke.last()));
        EXPECT_EQ(teacher->overlay().marks().strokes().size(), 1);
        // The picture stands elsewhere in the student's window, yet the marks are on it.
        EXPECT_NE(imageAt, QPointF(teacher->Image1->mapTo(teacher.get(), QPoint())));
        QTest::mouseClick(teacher->bar().spbpointer, Qt::LeftButton);
        mouse(&teacher->overlay(), QEvent::MouseMove, teacher->onOverlay(c.pointer), Qt::NoButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return student->overlay().marks().pointer().has_value(); },
                                    Wait));
        saveShots((QByteArray("pointer-") + c.shots).constData());

        // One button wipes the strokes on both sides.
        QTest::mouseClick(teacher->bar().spbclear, Qt::LeftButton);
        EXPECT_TRUE(teacher->overlay().marks().strokes().isEmpty());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return student->overlay().marks().strokes().isEmpty(); }, Wait));
        QTest::mouseClick(teacher->bar().spbpointer, Qt::LeftButton); // off: the pointer goes
        ASSERT_TRUE(QTest::qWaitFor([&] { return !student->overlay().marks().pointer(); }, Wait));
    }
    // A page turn clears the page's marks on both sides.
    QTest::mouseClick(teacher->bar().spbhighlight, Qt::LeftButton);
    drawStroke(*teacher, {{10, 10}, {300, 300}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return student->overlay().marks().strokes().size() == 1; },
                                Wait));
    teacher->show(1, 3);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return student->overlay().marks().page() == PageKey{1, 3}; }, Wait));
    EXPECT_TRUE(teacher->overlay().marks().strokes().isEmpty());
    EXPECT_TRUE(student->overlay().marks().strokes().isEmpty());
}

TEST_F(Classroom, StudentPointsAndDrawsOnlyWhileTheTeacherAllowsIt) {
    startLesson();
    ASSERT_TRUE(QTest::qWaitFor([&] { return student->CurrentPage() == 2; }, Wait));
    QTest::qWait(20);
    EXPECT_FALSE(student->bar().spbhighlight->isEnabled());
    EXPECT_FALSE(student->bar().spballowdraw->isVisible());
    // A student program that sends anyway is not listened to.
    ASSERT_TRUE(student->channel().PostToPartner(Lines::stroke({1, 2}, {{1, 1}, {900, 900}})));
    ASSERT_TRUE(chatRoundTrip(student->channel(), *teacher));
    EXPECT_TRUE(teacher->overlay().marks().strokes().isEmpty());

    QTest::mouseClick(teacher->bar().spballowdraw, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return student->bar().spbhighlight->isEnabled(); }, Wait));
    QTest::mouseClick(student->bar().spbhighlight, Qt::LeftButton);
    drawStroke(*student, {{100, 400}, {200, 420}, {300, 440}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacher->overlay().marks().strokes().size() == 1; },
                                Wait));
    EXPECT_TRUE(near(teacher->pixelOf(teacher->overlay().marks().strokes()[0].last()), {300, 440}));

    // Taking the permission back switches the student's tools off.
    QTest::mouseClick(teacher->bar().spballowdraw, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !student->bar().spbhighlight->isEnabled(); }, Wait));
    EXPECT_EQ(student->overlay().tool(), TClassroomOverlay::Tool::None);
}

// A teacher's screen with a student program that knows no classroom lines: the lines go, the
// student ignores them, and the lesson goes on; the teacher's screen shows nothing new.
TEST_F(Classroom, PartnerWithoutTheseLinesGetsNothingOddAndTheLessonGoesOn) {
    teacher = makeSide(3, 12, {900, 700});
    TestLessonHost bareHost;
    bareHost.who = {4, 7, 40, host};
    bareHost.teachers = {{QStringLiteral("12"), QStringLiteral("Jana Učitelová")}};
    LessonChannel bare(bareHost);
    QList<QByteArray> ignored;
    QObject::connect(&bare, &LessonChannel::partnerLine,
                     [&](const QByteArray &command, const QByteArray &) { ignored += command; });
    teacher->channel().ConnectToggle();
    bare.ConnectToggle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacher->channel().partnerId() == "40"; }, Wait));
    ASSERT_TRUE(teacher->channel().SendSync(true, 1, 2));
    QTest::qWait(20);

    QTest::mouseClick(teacher->bar().spballowdraw, Qt::LeftButton);
    QTest::mouseClick(teacher->bar().spbpointer, Qt::LeftButton);
    mouse(&teacher->overlay(), QEvent::MouseMove, teacher->onOverlay({100, 100}), Qt::NoButton);
    QTest::mouseClick(teacher->bar().spbhighlight, Qt::LeftButton);
    drawStroke(*teacher, {{10, 10}, {200, 200}});
    QTest::mouseClick(teacher->bar().spbclear, Qt::LeftButton);
    teacher->show(1, 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bareHost.shownPages.contains(qMakePair(1, 3)); },
                                Wait));
    ASSERT_TRUE(teacher->channel().SendChat({QStringLiteral("Dobrý den")}).delivered());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bareHost.chats.isEmpty(); }, Wait));
    EXPECT_EQ(bareHost.chats.first().second, QStringList{QStringLiteral("Dobrý den")});
    EXPECT_TRUE(ignored.contains("@drawallow"));
    EXPECT_TRUE(ignored.contains("@stroke"));
    EXPECT_TRUE(bareHost.shownPages.size() >= 2);
    // The student said nothing about its page: the teacher's screen adds nothing.
    EXPECT_FALSE(teacher->classroom()->studentState());
    EXPECT_TRUE(teacher->bar().lbstate->text().isEmpty());
    EXPECT_EQ(teacher->classroom()->statusText(QStringLiteral("Připojen klient: Petr Žák")),
              QStringLiteral("Připojen klient: Petr Žák"));
    EXPECT_EQ(seam.boxTexts(), QStringList());
}

// Broken and flooding lines from the teacher's side reach the student's screen: dropped, and a
// sound line afterwards still shows.
TEST_F(Classroom, MalformedAndFloodingLinesFromThePartnerAreDropped) {
    student = makeSide(4, 40, {900, 700});
    TestLessonHost bareHost;
    bareHost.who = {3, 7, 12, host};
    LessonChannel bare(bareHost);
    bare.ConnectToggle();
    student->channel().ConnectToggle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bare.partnerId() == "40"; }, Wait));
    ASSERT_TRUE(bare.SendSync(true, 1, 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return student->channel().syncOn(); }, Wait));
    QTest::qWait(20);

    QByteArray huge = "@stroke;1;2";
    while (huge.size() < bare.partnerRoom() - 12)
        huge += ";9999,9999";
    for (const QByteArray &line :
         {QByteArray("@ptr;1;2;nan;nan"), QByteArray("@ptr;1;2;-1e308;5"),
          QByteArray("@ptr;1;2;10001;5"), QByteArray("@stroke;1;2;inf,1;2,2"), huge,
          QByteArray("@drawallow;yes"), QByteArray("@strokesclear;;"), QByteArray("@ptr")})
        ASSERT_TRUE(bare.PostToPartner(line)) << line.left(40).constData();
    // A flood: thousands of pointer lines and strokes in a burst.
    for (int i = 0; i < 3000; ++i)
        bare.PostToPartner(Lines::pointer({1, 2}, PageSpot{i % 10000, 5000}));
    for (int i = 0; i < 2 * TPageMarks::MaxStrokes; ++i)
        bare.PostToPartner(Lines::stroke({1, 2}, {{i, 0}, {i, 10000}}));
    bare.PostToPartner(Lines::pointer({1, 2}, PageSpot{2500, 7500}));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return student->overlay().marks().pointer() == PageSpot{2500, 7500}; }, Wait));
    EXPECT_EQ(student->overlay().marks().strokes().size(), TPageMarks::MaxStrokes);
    EXPECT_FALSE(student->classroom()->drawAllowed());
    EXPECT_TRUE(student->channel().isConnected());
    EXPECT_EQ(seam.boxTexts(), QStringList());
}

} // namespace
