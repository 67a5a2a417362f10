// The notes of a lesson in the real program against the reference server and its relay: the
// teacher sends them as a PDF (read back with pdftotext, with hostile chat and note texts),
// the student lists and opens his own, the server keeps them with the chat's rights, and a
// server that refuses them hides both buttons.
#include "screenfixture.h"
#include "testlessonhost.h"

#include "app/tfmain.h"
#include "lesson/classroom/classroombar.h"
#include "lesson/classroom/lessonclassroom.h"
#include "lesson/classroom/lessonnotes.h"
#include "lesson/screen/tfrlearn.h"
#include "server/centralserver.h"
#include "server/serveroptions.h"
#include "server/store/schooldatabase.h"
#include "serverharness.h"
#include "wire/compression.h"

#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>

namespace {

constexpr int Wait = 15000;

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

quint16 g_relayPort = 0;

// The body of an "okzip" reply, inflated.
QByteArray inflated(const HttpReply &reply) {
    return reply.body.startsWith("okzip") ? DecompressText(reply.body.mid(5)) : QByteArray();
}

// The text pdftotext reads from the PDF (UTF-8), empty when it cannot.
QString pdfText(const QByteArray &pdf) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("notes.pdf"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(pdf) != pdf.size())
        return {};
    out.close();
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                               file, QStringLiteral("-")});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        return {};
    return QString::fromUtf8(reader.readAllStandardOutput());
}

class LessonNotesTest : public ScreenFixture {
protected:
    LessonNotesTest()
        : ScreenFixture([](ServerOptions &options) {
              g_relayPort = freePort();
              options.relay << ListenAddress{QHostAddress::LocalHost, g_relayPort};
              options.relayHost = QStringLiteral("127.0.0.1:%1").arg(g_relayPort);
          }) {}

    Tfrlearn &screen() { return *static_cast<Tfrlearn *>(app->mainWindow()->screen(u"learn")); }
    TClassroomBar &bar() { return *screen().classroom()->bar(); }
    // The student on the relay through a channel of this test, signed in over HTTP.
    void studentChannel() {
        const HttpReply reply = server.login(QStringLiteral("klient"), QStringLiteral("klient"));
        const auto session = SessionSection(DecompressText(reply.body.mid(5)));
        otherHost.who = {4, session.value("idjob").toInt(), int(Demo::Client),
                         QStringLiteral("127.0.0.1:%1").arg(g_relayPort)};
        const QString sessionId = session.value("sesid");
        otherHost.tokenSource = [this, sessionId]() -> std::optional<QByteArray> {
            return server.post("relaytoken", {}, sessionId).body.mid(2);
        };
        otherHost.teachers = {{QString::number(Demo::Teacher), QStringLiteral("Petra")}};
        QObject::connect(&other, &LessonChannel::partnerLine,
                         [this](const QByteArray &command, const QByteArray &) {
                             partnerLines += command;
                         });
    }
    // The teacher's screen on line with the student.
    void startLesson() {
        if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            havePdfToText = true;
        studentChannel();
        signIn(QStringLiteral("lektor"));
        clickMain("im_learn");
        QTest::mouseClick(screen().Spbconnect, Qt::LeftButton);
        ASSERT_TRUE(screen().channel().isConnected());
        other.ConnectToggle();
        ASSERT_TRUE(other.isConnected()) << otherHost.status.toStdString();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return screen().channel().partnerId() == QString::number(Demo::Client); },
            Wait));
    }

    // The lesson screen's picture for the documentation, when a folder is named.
    void saveShot(const char *name) {
        const QString folder = qEnvironmentVariable("TELLAVO_CLASSROOM_SHOTS");
        if (!folder.isEmpty())
            screen().grab().save(folder + QStringLiteral("/%1.png").arg(QLatin1String(name)));
    }

    TestLessonHost otherHost;
    LessonChannel other{otherHost};
    QList<QByteArray> partnerLines;
    bool havePdfToText = false;
};

TEST_F(LessonNotesTest, TeacherSendsNotesThatTheStudentReadsBackAsPdf) {
    startLesson();
    ASSERT_FALSE(bar().spbsendnotes->isHidden());
    ASSERT_TRUE(bar().spbsendnotes->isEnabled());
    EXPECT_TRUE(bar().spbnotes->isHidden());
    QTest::mouseClick(screen().sbNext, Qt::LeftButton); // a second page covered

    // A chat with characters outside the code page, control characters, a very long line and
    // many lines.
    QStringList chat{QStringLiteral("Привет, Ωμέγα, 你好 😀 – žluťoučký"),
                     QStringLiteral("zvonek\x07 a\x1b[31m escape"),
                     QStringLiteral("dlouhý:") + QString(6000, u'x')};
    for (int line = 1; line <= 150; ++line)
        chat << QStringLiteral("Řádek %1 chatu").arg(line);
    ASSERT_TRUE(other.SendChat(chat).delivered());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return screen().memoread->toPlainText().contains(QStringLiteral("Řádek 150")); },
        Wait));

    saveShot("notes-teacher");
    seam.inputAnswers.enqueue(QStringLiteral("Úkol: cvičení 3 \x01<b>&amp;</b>\nDruhý řádek ďáblů"));
    QTest::mouseClick(bar().spbsendnotes, Qt::LeftButton);
    EXPECT_EQ(seam.boxTexts(), QStringList{QStringLiteral("Poznámky z lekce byly odeslány.")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return partnerLines.contains("@notessent"); }, Wait));

    // The student's own list, newest first, and the PDF with what the lesson held.
    const QString student = server.signIn(QStringLiteral("klient"));
    const QList<QByteArray> list = inflated(server.post("getlessonnotes", "aiduser=0", student))
                                       .split('\n');
    ASSERT_GE(list.size(), 1);
    const QByteArray id = list.first().split(';').first();
    EXPECT_TRUE(list.first().contains("Svobodová Petra")) << list.first().constData();
    const QByteArray pdf = inflated(server.post("getlessonnote", "idnote=" + id, student));
    ASSERT_TRUE(pdf.startsWith("%PDF-"));
    if (const QString shots = qEnvironmentVariable("TELLAVO_CLASSROOM_SHOTS"); !shots.isEmpty()) {
        QFile copy(shots + QStringLiteral("/lesson-notes.pdf"));
        if (copy.open(QIODevice::WriteOnly))
            copy.write(pdf);
    }
    if (!havePdfToText)
        GTEST_SKIP() << "pdftotext is not installed";
    const QString text = pdfText(pdf);
    for (const QString &expected :
         {QStringLiteral("Poznámky z lekce"), QStringLiteral("Probrané strany"),
          QStringLiteral("Přehrané nahrávky"), QStringLiteral("Poznámka vyučujícího"),
          QStringLiteral("Svobodová Petra"), QStringLiteral("Привет"), QStringLiteral("Ωμέγα"),
          QStringLiteral("žluťoučký"), QStringLiteral("zvonek"), QStringLiteral("Řádek 150 chatu"),
          QStringLiteral("Úkol: cvičení 3"), QStringLiteral("<b>&amp;</b>"),
          QStringLiteral("Druhý řádek ďáblů"), QStringLiteral("strana")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    EXPECT_FALSE(text.contains(QChar(0x07)));
    EXPECT_FALSE(text.contains(QChar(0x1b)));
    EXPECT_EQ(screen().classroom()->notes()->record().pages().size(), 2);
}

TEST_F(LessonNotesTest, StudentListsAndOpensHisNotesNewestFirst) {
    // Two notes stored by the teacher for the student.
    const QString teacher = server.signIn(QStringLiteral("lektor"));
    for (const char *pdf : {"%PDF-1.4 first", "%PDF-1.4 second"})
        ASSERT_TRUE(server.post("postlessonnotes",
                                "aiduser=" + QByteArray::number(Demo::Client) +
                                    "&notesdata=" + QUrl::toPercentEncoding(pdf),
                                teacher)
                        .body.startsWith("ok"));
    signIn(QStringLiteral("klient"));
    clickMain("im_learn");
    ASSERT_FALSE(bar().spbnotes->isHidden());
    EXPECT_TRUE(bar().spbsendnotes->isHidden());
    EXPECT_EQ(bar().spbnotes->shortcut(), QKeySequence(Qt::ALT | Qt::Key_C));
    const QList<QAction *> items = bar().pmnotes->actions();
    ASSERT_EQ(items.size(), 2);
    const QList<TLessonNoteEntry> &notes = screen().classroom()->notes()->notes();
    EXPECT_GT(notes[0].id, notes[1].id);
    EXPECT_TRUE(items[0]->text().contains(QStringLiteral("Svobodová Petra")));
    saveShot("notes-student");
    items[0]->trigger();
    ASSERT_EQ(seam.opened.size(), 1);
    QFile opened(seam.opened.first());
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
    EXPECT_EQ(opened.readAll(), QByteArray("%PDF-1.4 second"));
}

// Who may write and read notes: the chat's rights.
TEST_F(LessonNotesTest, NotesKeepTheChatsRights) {
    const QString student = server.signIn(QStringLiteral("klient"));
    const QString teacher = server.signIn(QStringLiteral("lektor"));
    const QByteArray pdf = "&notesdata=" + QUrl::toPercentEncoding("%PDF-1.4 x");
    const QByteArray client = "aiduser=" + QByteArray::number(Demo::Client);
    const QByteArray newcomer = "aiduser=" + QByteArray::number(Demo::Newcomer);
    const struct {
        const char *what;
        QByteArray action, data;
        QString session;
        bool allowed;
    } cases[] = {
        {"teacher for his student", "postlessonnotes", client + pdf, teacher, true},
        {"teacher for a student not his", "postlessonnotes", newcomer + pdf, teacher, false},
        {"student for himself", "postlessonnotes", client + pdf, student, false},
        {"no PDF", "postlessonnotes", client + "&notesdata=hello", teacher, false},
        {"student's own list", "getlessonnotes", "aiduser=0", student, true},
        {"student's list of another", "getlessonnotes", newcomer, student, false},
        {"teacher's list of a student not his", "getlessonnotes", newcomer, teacher, false},
        {"a note that is not there", "getlessonnote", "idnote=999999", student, false},
    };
    for (const auto &c : cases) {
        const HttpReply reply = server.post(c.action, c.data, c.session);
        EXPECT_EQ(reply.body.startsWith("ok"), c.allowed) << c.what << ": " << reply.body.left(80).constData();
    }
    // Another student reads none of his notes.
    const QByteArray id = inflated(server.post("getlessonnotes", "aiduser=0", student))
                              .split(';')
                              .first();
    const QString other = server.signIn(QStringLiteral("novacek"));
    EXPECT_TRUE(server.post("getlessonnote", "idnote=" + id, other).body.startsWith("error"));
    EXPECT_TRUE(server.post("getlessonnote", "idnote=" + id, student).body.startsWith("okzip"));
}

// A server that does not keep notes (here: it refuses them, as one without the actions does):
// neither the teacher's nor the student's button shows, and the lesson goes on.
TEST_F(LessonNotesTest, ServerWithoutNotesHidesTheButtons) {
    server.onServer([](CentralServer &central) {
        central.database().run(QStringLiteral("DROP TABLE LESSONNOTES"));
    });
    startLesson();
    EXPECT_TRUE(bar().spbsendnotes->isHidden());
    ASSERT_TRUE(other.SendChat({QStringLiteral("Dobrý den")}).delivered());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return screen().memoread->toPlainText().contains(QStringLiteral("Dobrý den")); },
        Wait));
    signOut();
    signIn(QStringLiteral("klient"));
    clickMain("im_learn");
    EXPECT_TRUE(bar().spbnotes->isHidden());
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
}

} // namespace
