// The relay's lines as the client's lesson channel handles them: lists of clients on line
// (the partner rules), the partner's chat, page and recording messages, errors. Each input is
// a run of lines from the relay to a teacher or a student (first byte). The partner found is
// always one the rules allow, chat lines decode from any bytes, and what the channel would
// send of them fits a relay line and holds no line end.
#include "fuzzcheck.h"
#include "lesson/relay/chatcodec.h"
#include "lesson/relay/lessonchannel.h"
#include "wire/relay/relayprotocol.h"

#include <QCoreApplication>

#include <cstdint>

namespace {

// A screen that has books 1 and 3 and records how often it was asked to show a page.
class FuzzHost : public LessonChannelHost {
public:
    LessonIdentity who;
    int followed = 0;
    int chats = 0;

    LessonIdentity identity() override { return who; }
    QString userName(const QString &id) override { return id.size() < 4 ? id : QString(); }
    void chatReceived(const QString &, const QStringList &lines) override {
        ++chats;
        for (const QByteArray &message : ChatCodec::EncodeMessages(lines, 200)) {
            FUZZ_CHECK(message.size() <= 200);
            FUZZ_CHECK(!message.contains('\n'));
        }
    }
    bool followBook(int number, std::optional<int>) override {
        ++followed;
        return number == 1 || number == 3;
    }
    bool currentPage(int &number, int &page) override {
        number = 1;
        page = 2;
        return true;
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    static QCoreApplication app(*argc, *argv); // queued calls of the channel
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);
    FuzzHost host;
    const bool student = data[0] & 1;
    // Job 7; the teacher is user 12, the student user 40 of teacher 12.
    host.who = {student ? 4 : 3, 7, student ? 40 : 12, QStringLiteral("127.0.0.1:1")};
    LessonChannel channel(host);
    channel.UpdateConnectionTexts(); // takes the identity
    for (const QByteArray &line : bytes.split('\n')) {
        channel.HandleIncoming(line);
        const QString partner = channel.partnerId();
        // A teacher's partner is one of its own students ("7_12_" and its id) listed on line.
        if (!student && !partner.isEmpty() && line.startsWith("@listactiveusers;"))
            FUZZ_CHECK(line.contains("7_12_" + partner.toLatin1()));
        QCoreApplication::processEvents();
    }
    (void)ChatCodec::Decode(bytes);
    return 0;
}
