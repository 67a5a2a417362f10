#include "lessonchannelhost.h"

#include "base/session.h"
#include "net/requestrunner.h"
#include "wire/actionnames.h"
#include "wire/relay/relayprotocol.h"

LessonIdentity LessonChannelHost::identity() {
    return {UserType(), JobId(), UserId(), RelayServer()};
}

std::optional<QByteArray> LessonChannelHost::relayToken() {
    if (!IsSignedIn())
        return QByteArray(); // no session to ask for one
    ServerRequest call;
    call.action = QString::fromLatin1(ActionNames::RelayToken);
    const RequestOutcome outcome = AppRequestRunner().run(call, nullptr, true);
    if (outcome.result == rrFailed || outcome.result == rrCancelled || outcome.sessionLost ||
        outcome.result == rrBadLogin)
        return std::nullopt;
    const std::optional<QByteArray> token = outcome.ok() ? ReplyPayload(outcome.reply) : std::nullopt;
    return token && RelayProtocol::IsToken(*token) ? *token : QByteArray();
}

void LessonChannelHost::connectionTextsChanged(const QString &, const QString &) {}
void LessonChannelHost::statusTextChanged(const QString &) {}
QList<OnlineTeacher> LessonChannelHost::fetchOnlineTeachers() {
    return {};
}
int LessonChannelHost::chooseTeacher(const QList<OnlineTeacher> &) {
    return 0;
}
void LessonChannelHost::closeOnlineTeachers() {}
void LessonChannelHost::openProgress(const QString &, const QString &) {}
void LessonChannelHost::closeProgress() {}
QString LessonChannelHost::userName(const QString &) {
    return {};
}
void LessonChannelHost::saveChatHistory() {}
void LessonChannelHost::loadChatHistory(int) {}
void LessonChannelHost::forgetChatHistory() {}
void LessonChannelHost::partnerChanged(bool) {}
void LessonChannelHost::chatReceived(const QString &, const QStringList &) {}
void LessonChannelHost::syncChanged(bool) {}
bool LessonChannelHost::followBook(int, std::optional<int>) {
    return false;
}
void LessonChannelHost::showFollowedPage() {}
void LessonChannelHost::followAudio(int, int) {}
bool LessonChannelHost::currentPage(int &, int &) {
    return false;
}
