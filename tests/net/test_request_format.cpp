#include "base/session.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "wire/compression.h"
#include "net/formencode.h"
#include "net/reportresult.h"
#include "net/requestaddress.h"
#include "scriptedseam.h"

#include <gtest/gtest.h>

namespace {

struct EncodeCase {
    QByteArray input;
    QByteArray expected;
};

TEST(FormEncoding, FullFormEncodingOfBytes) {
    const EncodeCase cases[] = {
        {QString::fromUtf8("Jan Nový").toUtf8(), "Jan+Nov%C3%BD"},
        {"AZaz09!$'()*-.@_", "AZaz09!$'()*-.@_"},
        {"a+b&c=d~%#/", "a%2Bb%26c%3Dd%7E%25%23%2F"},
        {QByteArray("\x00\x1f\x7f\xff", 4), "%00%1F%7F%FF"},
        {"", ""},
    };
    for (const EncodeCase &c : cases)
        EXPECT_EQ(FormEncode(c.input), c.expected) << c.input.toHex().constData();
}

TEST(FormEncoding, TransportEncodingOfFormBodies) {
    const EncodeCase cases[] = {
        {"a=1&b=", "a=1&b="},
        {"p=50%", "p=50%25"},
        {"user=" + FormEncode(QString::fromUtf8("Jan Nový").toUtf8()), "user=Jan+Nov%25C3%25BD"},
        {"x=a b*#[<>]", "x=a%20b%2A%23%5B%3C%3E%5D"},
        // Only the part after the first "=" is a value; names and "=" inside values stay.
        {"a b=c=d&plain&=v", "a b=c=d&plain&=v"},
        // Bytes below 33 and above 128 are escaped, 128 itself and other printable bytes stay.
        {QByteArray("v=\x01\x20\x21\x7e\x80\x81\xff"), "v=%01%20!~\x80%81%FF"},
        {"t=a+b&", "t=a+b&"},
        {"", ""},
    };
    for (const EncodeCase &c : cases)
        EXPECT_EQ(TransportEncodeForm(c.input), c.expected) << c.input.constData();
}

TEST(RequestAddressing, BaseAddressFromServerAndHttpsOption) {
    struct Case {
        const char *server;
        bool ssl;
        const char *expected;
    } const cases[] = {
        {"school.example", true, "https://school.example:443"},
        {"school.example", false, "http://school.example:80"},
        {"school.example:8443", true, "https://school.example:8443"},
        {"[::1]:81", false, "http://[::1]:81"},
        {"::1", true, "https://[::1]:443"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(BaseAddress(QString::fromLatin1(c.server), c.ssl), c.expected) << c.server;
}

TEST(RequestAddressing, AddressOfNormalActionsAndRawDownloads) {
    const QString base = BaseAddress(QStringLiteral("school.example"), true);
    const QString path = QStringLiteral("/tellavo/client.php");
    const QString session = QStringLiteral("PHPSESSID=abc");
    struct Case {
        ServerRequest call;
        const char *expected;
    } const cases[] = {
        {{{}, "login", "user=x", false, true},
         "https://school.example:443/tellavo/client.php?action=login"},
        {{{}, "changepass", "pass=x", false, false},
         "https://school.example:443/tellavo/client.php?PHPSESSID=abc&action=changepass"},
        {{{}, "logout", "", false, false},
         "https://school.example:443/tellavo/client.php?PHPSESSID=abc&action=logout&"},
        {{{}, RawDownloadAction(), "/update/setup 2.exe", false, false},
         "https://school.example:443/update/setup%202.exe"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RequestAddress(base, path, c.call, session), c.expected) << c.expected;
    EXPECT_TRUE(IsRawDownload(QString(QChar(255))));
    EXPECT_FALSE(IsRawDownload(QString(QChar(255)) + u'x'));
}

TEST(ReplyPayloads, OkAndOkzipPayloads) {
    const QByteArray packet = "<DATAPACKET Version=\"2.0\"><ROWDATA/></DATAPACKET>";
    EXPECT_EQ(ReplyPayload("ok" + packet), packet);
    EXPECT_EQ(ReplyPayload("okzip" + CompressText(packet, 6)), packet);
    EXPECT_EQ(ReplyPayload("ok"), QByteArray());
    EXPECT_EQ(ReplyPayload("okzip"), QByteArray());
    EXPECT_FALSE(ReplyPayload("okzip" + packet).has_value());
    EXPECT_FALSE(ReplyPayload("error").has_value());
    EXPECT_FALSE(ReplyPayload("").has_value());
}

TEST(ReplyPayloads, ReplyTextReadsUtf8OrTheCodePage) {
    EXPECT_EQ(ReplyText(QString::fromUtf8("Chyba: špatné heslo").toUtf8()),
              QString::fromUtf8("Chyba: špatné heslo"));
    EXPECT_EQ(ReplyText("Chyba: \x9a"
                        "patn\xe9 heslo"),
              QString::fromUtf8("Chyba: špatné heslo"));
    EXPECT_EQ(ReplyText("plain"), "plain");
}

class ReportResultTest : public testing::Test {
protected:
    void SetUp() override { SetLanguageIndex(LangCzech); }
    ScriptedSeam seam;
};

TEST_F(ReportResultTest, ErrorBoxesCarryTheTextForTheCodeAndTheReply) {
    struct Case {
        int result;
        QString reply;
        QString expected;
    } const cases[] = {
        {-203, "", QString::fromUtf8("Chyba - neplatné přihlašovací jméno, heslo nebo session.")},
        {-1, "", QString::fromUtf8("Chyba během komunikace se serverem.")},
        {-2, "", QString::fromUtf8("Komunikace se serverem byla přerušena.")},
        {-3, "Bad name", QString::fromUtf8("Operace neproběhla úspěšně.\rBad name")},
        {-302, "", QString::fromUtf8("Server vrátil chybu číslo -302!")},
        {-201, "ok", QString::fromUtf8("Server vrátil chybu číslo -201!\rok")},
    };
    for (const auto &c : cases) {
        seam.boxes.clear();
        ReportResult(c.result, c.reply);
        ASSERT_EQ(seam.boxes.size(), 1);
        EXPECT_EQ(seam.boxes[0].text, c.expected);
        EXPECT_EQ(seam.boxes[0].type, mtError);
        EXPECT_EQ(seam.boxes[0].buttons, QList<int>{mrOK});
    }
}

TEST_F(ReportResultTest, SuccessShowsOnlyAGivenSuccessText) {
    ReportResult(0, QStringLiteral("ok"));
    EXPECT_TRUE(seam.boxes.isEmpty());
    ReportResult(RequestOutcome{0, "ok", false}, QStringLiteral("Hotovo"));
    ASSERT_EQ(seam.boxes.size(), 1);
    EXPECT_EQ(seam.boxes[0].text, "Hotovo");
    EXPECT_EQ(seam.boxes[0].type, mtInformation);
}

} // namespace
