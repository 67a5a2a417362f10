#include "lang/texts.h"
#include "net/transferstatus.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

class ProgressStatus : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
    TransferStatus status;
};

TEST_F(ProgressStatus, LargeTransferShowsPercentSpeedAndRemainingTime) {
    EXPECT_EQ(status.upper(), QString::fromUtf8("Připojování k serveru..."));
    status.connected();
    EXPECT_EQ(status.upper(), "Připojeno");

    status.transferBegins(3000000, 10000);
    EXPECT_EQ(status.upper(), QString::fromUtf8("Přenos dat (2929 kB)"));
    EXPECT_EQ(status.barMaximum(), 3000000);

    // Nothing received yet, or no time passed: no speed line.
    status.transferProgress(0, 11000);
    EXPECT_EQ(status.upper(), QString::fromUtf8("Přenos dat : 0% hotovo (0 kB z 2929 kB)"));
    EXPECT_EQ(status.lower(), "");
    status.transferProgress(5000, 10000);
    EXPECT_EQ(status.lower(), "");

    // 1 500 000 bytes in 1.2 s: 1220.7 kB/s, 1.2 s left.
    status.transferProgress(1500000, 11200);
    EXPECT_EQ(status.upper(), QString::fromUtf8("Přenos dat : 50% hotovo (1464 kB z 2929 kB)"));
    EXPECT_EQ(status.lower(), QString::fromUtf8("Rychlost: 1\u00a0220,7 kB/s, zbývá: 1 sekund"));
    EXPECT_EQ(status.barValue(), 1500000);

    // 100 000 bytes in 124.16 s: 805.4 bytes/s, 2 900 000 bytes take 3600.6 s.
    status.transferProgress(100000, 134160);
    EXPECT_EQ(status.lower(), QString::fromUtf8("Rychlost: 0,8 kB/s, zbývá: 1:00:00 sekund"));

    status.transferEnds(false);
    EXPECT_EQ(status.lower(), "");
    EXPECT_EQ(status.barValue(), 0);
}

TEST_F(ProgressStatus, SmallTransfersShowOnlyTheirSize) {
    for (qint64 total : {qint64(16384), qint64(0), qint64(100)}) {
        status.transferBegins(total, 0);
        const QString shown = status.upper();
        status.transferProgress(total / 2, 500);
        status.transferProgress(total, 1000);
        EXPECT_EQ(status.upper(), shown);
        EXPECT_EQ(status.lower(), "");
    }
    status.transferBegins(16384, 0);
    EXPECT_EQ(status.upper(), QString::fromUtf8("Přenos dat (16 kB)"));
    status.transferBegins(16385, 0);
    status.transferProgress(8192, 1000);
    EXPECT_EQ(status.upper(), QString::fromUtf8("Přenos dat : 49% hotovo (8 kB z 16 kB)"));
}

TEST_F(ProgressStatus, SendingEndsWaitingForTheReply) {
    status.transferBegins(50000, 0);
    status.transferProgress(25000, 100);
    status.transferEnds(true);
    EXPECT_EQ(status.upper(), QString::fromUtf8("Data přenesena, čeká se na odezvu..."));
    EXPECT_EQ(status.lower(), "");
    EXPECT_EQ(status.barValue(), 0);
    status.reset();
    EXPECT_EQ(status.upper(), QString::fromUtf8("Připojování k serveru..."));
}

TEST_F(ProgressStatus, RemainingTimeForms) {
    const std::pair<qint64, const char *> cases[] = {
        {0, "0"},        {59, "59"},        {60, "1:00"},      {61, "1:01"},
        {3599, "59:59"}, {3600, "1:00:00"}, {3725, "1:02:05"}, {36000, "10:00:00"},
    };
    for (const auto &[seconds, expected] : cases)
        EXPECT_EQ(TransferStatus::FormatRemaining(seconds), expected) << seconds;
}

} // namespace
