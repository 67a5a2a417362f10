// The call's partner lines, the pieces of its signalling messages, the checks on what a
// partner sends, and the STUN/TURN servers as the central server hands them out.
#include "lesson/call/callmessage.h"
#include "lesson/call/callreassembler.h"
#include "lesson/call/callwire.h"
#include "lesson/call/iceservers.h"
#include "wire/relay/relayprotocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

// Splits a partner line as the lesson channel hands it on: the command, then the rest.
std::optional<CallWire::Line> read(const QByteArray &line) {
    QByteArray rest = line;
    const QByteArray command = RelayProtocol::TakeField(rest);
    return CallWire::parse(command, rest);
}

QByteArray offerJson(const QString &sdp) {
    CallMessage message;
    message.sdp = sdp;
    return message.toJson();
}

const QString kSdp =
    QStringLiteral("v=0\r\no=- 4611731400430051336 2 IN IP4 127.0.0.1\r\ns=-\r\nt=0 0\r\n"
                   "a=group:BUNDLE 0\r\nm=audio 9 UDP/TLS/RTP/SAVPF 111\r\nc=IN IP4 0.0.0.0\r\n"
                   "a=rtpmap:111 opus/48000/2\r\na=fmtp:111 minptime=10;useinbandfec=1\r\n");

} // namespace

TEST(CallWire, WritesLinesThatReadBack) {
    const QByteArray id = CallWire::newCallId();
    ASSERT_TRUE(CallWire::validCallId(id));
    const auto hello = read(CallWire::hello(true));
    ASSERT_TRUE(hello);
    EXPECT_EQ(hello->kind, CallWire::Kind::Hello);
    EXPECT_TRUE(hello->reply);
    EXPECT_EQ(hello->version, CallWire::Version);
    const auto ring = read(CallWire::ring(id, true));
    ASSERT_TRUE(ring);
    EXPECT_EQ(ring->kind, CallWire::Kind::Ring);
    EXPECT_EQ(ring->callId, id);
    EXPECT_TRUE(ring->video);
    for (const auto &[line, kind] : {std::pair{CallWire::accept(id), CallWire::Kind::Accept},
                                     std::pair{CallWire::decline(id), CallWire::Kind::Decline},
                                     std::pair{CallWire::bye(id), CallWire::Kind::Bye}}) {
        const auto read_ = read(line);
        ASSERT_TRUE(read_) << line.constData();
        EXPECT_EQ(read_->kind, kind);
        EXPECT_EQ(read_->callId, id);
    }
    // A later version's extra fields do not stop the line.
    EXPECT_TRUE(read("@callhello;2;0;more"));
    EXPECT_TRUE(read("@callbye;ab12;reason"));
}

TEST(CallWire, RefusesMalformedLines) {
    const char *bad[] = {
        "@callhello",
        "@callhello;;0",
        "@callhello;0;0",
        "@callhello;1;2",
        "@callhello;x;1",
        "@callhello;01;1",
        "@callring",
        "@callring;ab",
        "@callring;ab;2",
        "@callring;AB;1",
        "@callring;;1",
        "@callring;12345678901234567;1",
        "@callaccept;a b",
        "@callbye;",
        "@callbye;g",
        "@callsig;ab",
        "@callsig;ab;1;0;1",
        "@callsig;ab;0;0;1;QQ==",
        "@callsig;ab;1;1;1;QQ==",
        "@callsig;ab;1;0;0;QQ==",
        "@callsig;ab;1;0;65;QQ==",
        "@callsig;ab;1;64;65;QQ==",
        "@callsig;ab;1;-1;2;QQ==",
        "@callsig;ab;1;0;2;Q Q",
        "@callsig;ab;1;0;2;Q;Q",
        "@callsig;ab;99999999999;0;1;QQ==",
        "@callother;ab",
        "@callsig;ab;1;0;1;\x80\x81",
    };
    for (const char *line : bad)
        EXPECT_FALSE(read(line)) << line;
}

TEST(CallWire, CutsAMessageIntoLinesThatFitAndPutsItTogetherAgain) {
    QByteArray text;
    for (int i = 0; i < 1000; ++i)
        text += "a=candidate:" + QByteArray::number(i) + ";x\r\n";
    for (qsizetype room : {qsizetype(8000), qsizetype(600)}) {
        const QList<QByteArray> lines = CallWire::signalLines("ab12", 3, text, room);
        ASSERT_GT(lines.size(), 1) << room;
        CallReassembler pieces;
        CallReassembler::Result result = CallReassembler::Result::Incomplete;
        for (const QByteArray &line : lines) {
            EXPECT_LE(line.size(), room);
            const auto piece = read(line);
            ASSERT_TRUE(piece);
            EXPECT_EQ(result, CallReassembler::Result::Incomplete);
            result = pieces.add(*piece);
        }
        EXPECT_EQ(result, CallReassembler::Result::Complete) << pieces.error().toStdString();
        EXPECT_EQ(pieces.message(), text);
    }
    // Too little room, or more than the bounds allow, gives no lines at all.
    EXPECT_TRUE(CallWire::signalLines("ab12", 1, "x", 20).isEmpty());
    EXPECT_TRUE(CallWire::signalLines("ab12", 1, QByteArray(60000, 'x'), 600).isEmpty());
    EXPECT_TRUE(CallWire::signalLines("ab12", 1, QByteArray(CallWire::MaxMessageBytes, 'x'), 8000)
                    .isEmpty());
}

TEST(CallReassembler, RefusesPiecesOutOfOrderAndKeepsWorkingForTheNextMessage) {
    const QList<QByteArray> first = CallWire::signalLines("ab", 1, QByteArray(300, 'a'), 100);
    const QList<QByteArray> second = CallWire::signalLines("ab", 2, QByteArray(300, 'b'), 100);
    ASSERT_GE(first.size(), 3);
    struct Case {
        const char *name;
        QList<QByteArray> lines;
    };
    const Case cases[] = {
        {"piece skipped", {first[0], first[2]}},
        {"begins in the middle", {first[1]}},
        {"next message before the end", {first[0], second[0]}},
        {"same piece twice", {first[0], first[0]}},
        {"count changes", {first[0], "@callsig;ab;1;1;9;QUFB"}},
        {"message number again",
         [&] {
             QList<QByteArray> l = first;
             l += first;
             return l;
         }()},
        {"message number goes back",
         [&] {
             QList<QByteArray> l = second;
             l += first;
             return l;
         }()},
        {"not base64 once joined", {"@callsig;ab;1;0;2;QQ", "@callsig;ab;1;1;2;=A"}},
    };
    for (const Case &c : cases) {
        CallReassembler pieces;
        CallReassembler::Result last = CallReassembler::Result::Incomplete;
        for (const QByteArray &line : c.lines) {
            last = pieces.add(*read(line));
            if (last == CallReassembler::Result::Refused)
                break;
        }
        EXPECT_EQ(last, CallReassembler::Result::Refused) << c.name;
        EXPECT_FALSE(pieces.error().isEmpty()) << c.name;
    }
    // After a refusal the next whole message still comes through.
    CallReassembler pieces;
    EXPECT_EQ(pieces.add(*read(first[1])), CallReassembler::Result::Refused);
    CallReassembler::Result last = CallReassembler::Result::Incomplete;
    for (const QByteArray &line : second)
        last = pieces.add(*read(line));
    EXPECT_EQ(last, CallReassembler::Result::Complete);
    EXPECT_EQ(pieces.message(), QByteArray(300, 'b'));
}

TEST(CallMessage, TakesSoundMessagesAndRefusesHostileOnes) {
    const auto offer = CallMessage::fromJson(offerJson(kSdp));
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->sdp, kSdp);
    CallMessage candidate;
    candidate.type = CallMessage::Type::Candidate;
    candidate.candidate = QStringLiteral(
        "candidate:842163049 1 udp 1677729535 192.0.2.3 46154 typ srflx raddr 0.0.0.0 rport 0");
    candidate.sdpMid = QStringLiteral("0");
    candidate.mLineIndex = 0;
    const auto back = CallMessage::fromJson(candidate.toJson());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->candidate, candidate.candidate);
    EXPECT_EQ(back->mLineIndex, 0);
    EXPECT_TRUE(CallMessage::fromJson(R"({"type":"candidate","candidate":"","sdpMid":""})"));

    const QByteArray hostile[] = {
        "",
        "[]",
        "nonsense",
        R"({"type":"offer"})",
        R"({"type":"rollback","sdp":"v=0"})",
        R"({"type":"answer","sdp":"<script>alert[1]</script>"})",
        offerJson(kSdp + QStringLiteral("a=x\u00e9\r\n")),
        offerJson(kSdp + QStringLiteral("bad line\r\n")),
        offerJson(kSdp + QStringLiteral("a=\x01\r\n")),
        offerJson(QStringLiteral("v=0\r\n") + QString(CallMessage::MaxSdp, u'a')),
        R"({"type":"offer","sdp":42})",
        R"({"type":"candidate","candidate":"candidate:1 1 udp 1 1.2.3.4 5 typ host\r\na=x"})",
        R"({"type":"candidate","candidate":"javascript:alert[1]"})",
        R"({"type":"candidate","candidate":"","sdpMid":"a;b"})",
        R"({"type":"candidate","candidate":"","sdpMid":"0","sdpMLineIndex":64})",
        R"({"type":"candidate","candidate":"","sdpMid":"0","sdpMLineIndex":1.5})",
        R"({"type":"candidate","candidate":"","sdpMid":"0","sdpMLineIndex":"0"})",
        R"({"type":"candidate","candidate":"","sdpMid":"0","sdpMLineIndex":-1})",
        QByteArray(R"({"type":"candidate","candidate":"candidate:)") + QByteArray(2000, '1') +
            "\"}",
    };
    for (const QByteArray &text : hostile) {
        QString why;
        EXPECT_FALSE(CallMessage::fromJson(text, &why)) << text.left(120).constData();
        EXPECT_FALSE(why.isEmpty());
    }
}

TEST(IceServers, ReadsTheServersReplyAndDropsWhatIsNotSound) {
    const IceServers servers = IceServers::fromReply(
        "ok\r\nstun=stun:127.0.0.1:3478\r\nturn=turn:127.0.0.1:3478?transport=udp\r\n"
        "turn=turns:turn.example.cz:5349\r\nusername=1700000000:7\r\ncredential=abc+/=\r\n"
        "ttl=3600\r\nfuture=1\r\nturn=http://evil\r\nstun=stun:a b\r\nturn=turn:\r\n");
    EXPECT_EQ(servers.stun, QStringList{"stun:127.0.0.1:3478"});
    EXPECT_EQ(servers.turn,
              (QStringList{"turn:127.0.0.1:3478?transport=udp", "turns:turn.example.cz:5349"}));
    EXPECT_EQ(servers.username, "1700000000:7");
    EXPECT_EQ(servers.credential, "abc+/=");
    EXPECT_EQ(servers.ttl, 3600);
    EXPECT_TRUE(servers.hasTurn());
    const QJsonDocument json = QJsonDocument::fromJson(servers.toJson());
    ASSERT_TRUE(json.isArray());
    EXPECT_EQ(json.array().size(), 2);
    EXPECT_EQ(json.array()[1].toObject()["credential"].toString(), "abc+/=");

    // A server without the action, an empty answer, hostile values: no servers, no crash.
    for (const QByteArray &reply :
         {QByteArray("errorNeznámá akce"), QByteArray(), QByteArray("ok"),
          QByteArray("okturn=turn:x\r\nusername=a\x01"), QByteArray(100000, '='),
          QByteArray("ok\nturn=turn:x\nusername=") + QByteArray(5000, 'u')}) {
        EXPECT_FALSE(IceServers::fromReply(reply).hasTurn()) << reply.left(40).constData();
    }
    QByteArray many = "ok";
    for (int i = 0; i < 100; ++i)
        many += "\nstun=stun:host" + QByteArray::number(i);
    EXPECT_EQ(IceServers::fromReply(many).stun.size(), 8);
}
