// The lesson screen's chat: sending and receiving messages, the history with its headers, its
// loading and saving on the server, and the connected student's user record.
#include "tfrlearn.h"

#include "base/logging.h"
#include "data/dm.h"
#include "lang/programlocale.h"
#include "lang/texts.h"
#include "lesson/screen/chatinput.h"
#include "lesson/screen/lessonchatpanel.h"
#include "lesson/screen/lessonscreenhooks.h"
#include "net/formencode.h"
#include "net/reportresult.h"
#include "net/runrequest.h"
#include "seam/messagebox.h"
#include "seam/seam.h"

#include <QCoreApplication>
#include <QLocale>

namespace {

// The header of a message: the writer, a blank, and the date and time in the short date and
// long time forms of the program's language (the time without its zone).
QString headerLine(const QString &writer) {
    const QDateTime now = CurrentSeam().now();
    const QLocale locale = ProgramLocale();
    const QString time = locale.timeFormat(QLocale::LongFormat).remove(u't').trimmed();
    return writer + u' ' + locale.toString(now.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(now.time(), time);
}

QString ownName(Tdm &dm) {
    TClientTable &info = dm.cd_user_info;
    if (!info.Active() || info.IsEmpty())
        return {};
    const auto name = info.FindField(QStringLiteral("FULLNAME"));
    return name ? name->AsString() : QString();
}

} // namespace

void Tfrlearn::spbsendClick() {
    const QString text = Memowrite->toPlainText();
    if (text.isEmpty())
        return;
    if (!m_channel.isConnected()) {
        AppMessageBox(AppText(273), mtInformation, mbOK);
        return;
    }
    QList<QStringList> sent;
    LessonChannel::SayStatus status;
    {
        BusyCursorScope cursor(Qt::WaitCursor);
        status = m_channel.SendChat(text.split(u'\n'), &sent);
    }
    // What went is shown as it went, also the part of a long message that did go.
    for (const QStringList &lines : sent)
        addHistory(ownName(*m_services.dm), lines, false);
    if (status.delivered()) {
        Memowrite->clear();
        return;
    }
    if (status.failed)
        AppMessageBox(QStringLiteral("Error during communication with server."), mtInformation,
                      mbOK);
    else
        AppMessageBox(QStringLiteral("Error - server said: ") + QString::fromLatin1(status.status),
                      mtInformation, mbOK);
}

void Tfrlearn::addHistory(const QString &writer, const QStringList &lines, bool received) {
    chat->addMessage(headerLine(writer), lines, received);
}

void Tfrlearn::LoadChatHistory(int userId) {
    if (chat->loaded())
        return;
    memoread->clear();
    const RequestOutcome outcome =
        RunRequest(QString(), QStringLiteral("getchatfile"),
                   QStringLiteral("aiduser=%1").arg(userId), false, false);
    if (!outcome.ok())
        qCWarning(lcLesson) << "chat history of user" << userId << "not loaded: request result"
                            << outcome.result;
    if (outcome.ok()) {
        const std::optional<QByteArray> history = ReplyPayload(outcome.reply);
        if (history && !history->isEmpty())
            chat->loadHistory(*history);
    }
    ReportResult(outcome);
    chat->setLoaded(true);
    chat->setChanged(false);
}

void Tfrlearn::SaveChatHistory() {
    if (!m_channel.isStudent() || !chat->loaded() || !chat->changed())
        return;
    const QByteArray history = chat->historyRtf();
    ServerRequest request;
    request.action = QStringLiteral("postchatfile");
    request.data = "chatdata=" + FormEncode(history);
    const RequestOutcome outcome = RunRequest(request);
    if (outcome.ok()) {
        chat->setChanged(false);
        m_chatRetry.stop();
        if (m_chatSaveNoted)
            setStatusPanel(3, QString());
        m_chatSaveNoted = false;
        return;
    }
    qCWarning(lcLesson) << "chat history not saved: request result" << outcome.result
                        << "(kept, and saved again in" << m_chatRetryMs << "ms)";
    if (outcome.sessionLost || QCoreApplication::closingDown())
        return;
    // No box in the middle of a lesson: the history stays marked as changed, a note says it
    // waits, and it is sent again shortly (and at every later save).
    setStatusPanel(3, AppText(1076));
    m_chatSaveNoted = true;
    m_chatRetry.start(m_chatRetryMs);
}

void Tfrlearn::spbuserdetailClick() {
    const QString partner = m_channel.partnerId();
    if (m_channel.isStudent() || partner.isEmpty())
        return;
    TClientTable &users = m_services.dm->cd_user;
    if (users.Active())
        users.Refresh();
    else
        users.Open();
    users.SetFilter(QStringLiteral("IDUSER=") + partner);
    users.SetFiltered(true);
    const int found = users.RecordCount();
    users.SetFiltered(false);
    users.SetFilter(QString());
    if (found != 1) {
        AppMessageBox(AppText(286), mtError, mbOK);
        return;
    }
    if (LessonHooks().showUserDialog)
        LessonHooks().showUserDialog(partner.toInt());
}
