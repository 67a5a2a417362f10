// The progress dialog and the direct mode of server requests, over real loopback exchanges.
#include "base/session.h"
#include "lang/texts.h"
#include "loopbackhttpserver.h"
#include "net/httpexchange.h"
#include "net/progressdialog.h"
#include "net/reportresult.h"
#include "net/requestrunner.h"
#include "net/runrequest.h"
#include "net/settings/settings.h"
#include "scriptedseam.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

RequestProgressDialog *visibleDialog() {
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<RequestProgressDialog *>(widget);
        if (dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// Looks at the screen every few milliseconds while a request runs.
class Watcher {
public:
    explicit Watcher(std::function<void(RequestProgressDialog *)> look) : m_look(std::move(look)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_look(visibleDialog()); });
        m_timer.start(5);
    }

private:
    QTimer m_timer;
    std::function<void(RequestProgressDialog *)> m_look;
};

// Accepts connections and never answers.
class SilentServer {
public:
    SilentServer() {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                m_sockets.append(socket);
        });
    }
    QString hostAndPort() const {
        return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort());
    }

private:
    QTcpServer m_server;
    QList<QTcpSocket *> m_sockets; // children of the server
};

class RequestDialog : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        ASSERT_TRUE(server.start());
        Settings() = AppSettings();
        Settings().useSsl = false;
        CurrentConnectionTarget() = {server.hostAndPort(), QStringLiteral("/tellavo/client.php")};
        SessionValues().setText(QStringLiteral("sesid=S1"));
    }
    void TearDown() override {
        SessionValues().clear();
        CurrentConnectionTarget() = {};
        Settings() = AppSettings();
        HttpExchange::setRequestTimeout(0);
        HttpExchange::setSlowWindowFactory(nullptr);
        HttpExchange::setSlowAfterMs(HttpExchange::kDefaultSlowAfterMs);
    }

    ScriptedSeam seam;
    LoopbackHttpServer server;
    RequestRunner runner; // the application's runner while it lives
};

TEST_F(RequestDialog, ShowsTheTransferAndCancelsAtOnce) {
    const std::function<void(RequestProgressDialog *)> cancels[] = {
        [](RequestProgressDialog *d) { d->cancelButton()->click(); },
        [](RequestProgressDialog *d) { QTest::keyClick(d, Qt::Key_Escape); },
    };
    for (const auto &cancel : cancels) {
        LoopbackReply slow;
        slow.body = "ok" + QByteArray(300000, 'x'); // 292 kB, about 0.75 s
        slow.chunkSize = 4096;
        slow.chunkDelayMs = 10;
        server.replies.enqueue(slow);
        QString title, button, upper;
        Watcher watcher([&](RequestProgressDialog *dialog) {
            if (!dialog || !upper.isEmpty())
                return;
            title = dialog->windowTitle();
            button = dialog->cancelButton()->text();
            if (dialog->upperText().startsWith(QString::fromUtf8("Přenos dat :"))) {
                upper = dialog->upperText();
                cancel(dialog);
            }
        });
        const RequestOutcome outcome =
            RunRequest(QString::fromUtf8("Stahování strany 3"), QStringLiteral("getbookfile"),
                       QStringLiteral("bookid=1&fileid=3&filetype=1"), true, false);
        EXPECT_EQ(outcome.result, -2);
        EXPECT_TRUE(outcome.reply.isEmpty());
        EXPECT_EQ(title, QString::fromUtf8("Stahování strany 3"));
        EXPECT_EQ(button, QString::fromUtf8("Přerušit"));
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8("^Přenos dat : \\d+% hotovo "
                                                         "\\(\\d+ kB z 292 kB\\)$"))
                        .match(upper)
                        .hasMatch())
            << upper.toStdString();
        EXPECT_EQ(visibleDialog(), nullptr);
    }
}

TEST_F(RequestDialog, DefaultTitlePlaceAndClosingWhenDone) {
    LoopbackReply reply;
    reply.delayMs = 150;
    reply.body = "ok done";
    server.replies.enqueue(reply);
    SetRequestDialogPosition(QPoint(40, 60));
    QString title;
    QPoint place;
    bool modal = false;
    Watcher watcher([&](RequestProgressDialog *dialog) {
        if (dialog && title.isEmpty()) {
            title = dialog->windowTitle();
            place = dialog->pos();
            modal = dialog->windowModality() == Qt::ApplicationModal;
        }
    });
    const RequestOutcome outcome = RunRequest(QString(), QStringLiteral("posttestresult"),
                                              QStringLiteral("testresult=7"), true, false);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.reply, "ok done");
    EXPECT_EQ(title, "Komunikace se serverem");
    EXPECT_EQ(place, QPoint(40, 60));
    EXPECT_TRUE(modal);
    EXPECT_EQ(visibleDialog(), nullptr);
    EXPECT_EQ(RequestDialogSize(), QSize(420, 140));
}

TEST_F(RequestDialog, DirectRequestRunsUnderTheBusyCursorWithoutAWindow) {
    LoopbackReply reply;
    reply.delayMs = 100;
    server.replies.enqueue(reply);
    bool dialogSeen = false;
    int cursorDuring = -2;
    Watcher watcher([&](RequestProgressDialog *dialog) {
        dialogSeen = dialogSeen || dialog;
        if (cursorDuring == -2)
            cursorDuring = seam.currentCursor();
    });
    // Text beyond ASCII goes out in the 8-bit code page.
    const RequestOutcome outcome = RunRequest(QString(), QStringLiteral("settimetablestatus"),
                                              QString::fromUtf8("note=č"), false, false);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_FALSE(dialogSeen);
    EXPECT_EQ(cursorDuring, int(Qt::WaitCursor));
    EXPECT_EQ(seam.cursorChanges, (QList<int>{int(Qt::WaitCursor), -1}));
    ASSERT_EQ(server.received.size(), 1);
    EXPECT_EQ(server.received[0].body, "note=%E8");
}

TEST_F(RequestDialog, ServerThatNeverAnswersEndsTimedOutWithOurText) {
    SilentServer silent;
    CurrentConnectionTarget().server = silent.hostAndPort();
    HttpExchange::setRequestTimeout(1);
    QElapsedTimer clock;
    clock.start();
    QString detail;
    for (bool useDialog : {false, true}) {
        const RequestOutcome outcome =
            RunRequest(QString(), QStringLiteral("getuserinfo"), QString(), useDialog, false);
        EXPECT_EQ(outcome.result, -1) << useDialog;
        EXPECT_EQ(outcome.failure, NetworkFailure::TimedOut) << useDialog;
        EXPECT_FALSE(outcome.detail.isEmpty());
        detail = outcome.detail;
        ReportResult(outcome);
    }
    EXPECT_LT(clock.elapsed(), 15000);
    ASSERT_EQ(seam.boxes.size(), 2);
    // Our sentence alone: the transport's English detail goes to the log only.
    for (const auto &box : seam.boxes) {
        EXPECT_EQ(box.text, AppText(1003));
        EXPECT_FALSE(box.text.contains(detail));
    }
}

TEST_F(RequestDialog, SlowDirectRequestShowsTheDialogWhoseCancelEndsIt) {
    SilentServer silent;
    CurrentConnectionTarget().server = silent.hostAndPort();
    InstallSlowRequestDialog();
    HttpExchange::setSlowAfterMs(200);
    QString title;
    Watcher watcher([&](RequestProgressDialog *dialog) {
        if (dialog && title.isEmpty()) {
            title = dialog->windowTitle();
            dialog->cancelButton()->click();
        }
    });
    QElapsedTimer clock;
    clock.start();
    const RequestOutcome outcome =
        RunRequest(QString(), QStringLiteral("getuserinfo"), QString(), false, false);
    EXPECT_EQ(outcome.result, -2);
    EXPECT_EQ(title, AppText(146));
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(visibleDialog(), nullptr);
}

TEST_F(RequestDialog, SlowWindowJoiningMidwayShowsTheTransfer) {
    InstallSlowRequestDialog();
    HttpExchange::setSlowAfterMs(300);
    LoopbackReply slow;
    slow.body = "ok" + QByteArray(40000, 'x');
    slow.chunkSize = 2000;
    slow.chunkDelayMs = 50; // about a second for the whole body
    server.replies.enqueue(slow);
    QStringList upper;
    Watcher watcher([&](RequestProgressDialog *dialog) {
        if (dialog && !upper.contains(dialog->upperText()))
            upper.append(dialog->upperText());
    });
    const RequestOutcome outcome =
        RunRequest(QString(), QStringLiteral("getbookfile"), QString(), false, false);
    EXPECT_EQ(outcome.result, 0);
    // The dialog shows the running transfer with its total, not a bare connection line.
    EXPECT_TRUE(upper.filter(QRegularExpression(QStringLiteral("39 kB\\)$"))).size() > 0)
        << upper.join(" | ").toStdString();
}

} // namespace
