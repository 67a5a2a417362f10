#include "base/locations.h"
#include "base/session.h"
#include "errors/apperror.h"
#include "globalservices.h"
#include "lang/texts.h"
#include "loopbackhttpserver.h"
#include "net/settings/settings.h"
#include "screens/entrancetest/entrancetest.h"
#include "screens/entrancetest/testitems.h"
#include "scriptedseam.h"
#include "seam/messagebox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The dialog against a scripted loopback server, in a private installation folder that holds
// the shipped welcome texts and items.
class EntranceTest : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        InitLocations(dir.path() + QStringLiteral("/tellavo"));
        for (const char *name : {"welcome2.rtf", "welcome3.rtf", "entrancetest.txt"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(TELLAVO_ASSETS "/") + QString::fromLatin1(name),
                                    dir.filePath(QString::fromLatin1(name))));
        ASSERT_TRUE(server.start());
        Settings() = AppSettings();
        Settings().useSsl = false;
        Settings().runWizardOnStartup = true;
        CurrentConnectionTarget().server = server.hostAndPort();
        CurrentConnectionTarget().path = QStringLiteral("/tellavo/client.php");
        SessionValues().setText(QStringLiteral("sesid=abc\r\nusertype=4"));
    }
    void TearDown() override {
        SessionValues().clear();
        Settings() = AppSettings();
        SetLanguageIndex(LangCzech);
    }

    std::unique_ptr<Tfentrancetest> open() {
        auto dialog = std::make_unique<Tfentrancetest>(GlobalServices());
        dialog->LoadContent();
        dialog->show();
        return dialog;
    }
    template <class W> static W *child(Tfentrancetest &d, const QString &name) {
        W *w = d.findChild<W *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    static QComboBox *item(Tfentrancetest &d, int number) {
        return child<QComboBox>(d, QStringLiteral("cb_item%1").arg(number));
    }
    // Chooses, in every item, the answer that pick gives (-1 leaves it unanswered).
    static void answer(Tfentrancetest &d, const std::function<int(const QStringList &)> &pick) {
        for (int n = 1; n <= TestItems::ItemCount; ++n) {
            QStringList answers;
            for (int i = 0; i < item(d, n)->count(); ++i)
                answers.append(item(d, n)->itemText(i));
            item(d, n)->setCurrentIndex(pick(answers));
        }
    }
    static int marked(const QStringList &answers) {
        for (qsizetype i = 0; i < answers.size(); ++i)
            if (answers[i].endsWith(u' '))
                return int(i);
        return -1;
    }
    static void next(Tfentrancetest &d) {
        QTest::mouseClick(child<QPushButton>(d, QStringLiteral("btn_next")), Qt::LeftButton);
    }
    static void toLastPage(Tfentrancetest &d) {
        while (d.currentPage() < Tfentrancetest::PageCount - 1)
            next(d);
    }
    QByteArrayList sentResults() const {
        QByteArrayList results;
        for (const LoopbackRequest &r : server.received)
            if (r.target.contains("action=posttestresult"))
                results.append(r.body);
        return results;
    }
    QByteArray iniText() const {
        QFile ini(AppLocations().settingsFile);
        return ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    ScriptedSeam seam;
    LoopbackHttpServer server;
};

TEST_F(EntranceTest, PagesCaptionsAndTheWelcomeText) {
    auto d = open();
    EXPECT_EQ(d->windowTitle(), AppText(80));
    EXPECT_EQ(d->minimumSize(), d->maximumSize()); // fixed size
    EXPECT_EQ(d->currentPage(), 0);
    EXPECT_TRUE(child<QTextEdit>(*d, QStringLiteral("re_welcome"))->isReadOnly());
    EXPECT_TRUE(child<QTextEdit>(*d, QStringLiteral("re_welcome"))
                    ->toPlainText()
                    .startsWith(QString::fromUtf8("Vítejte")));
    EXPECT_EQ(child<QCheckBox>(*d, QStringLiteral("chbdontshow"))->text(), AppText(83));
    auto *back = child<QPushButton>(*d, QStringLiteral("btn_back"));
    auto *nextButton = child<QPushButton>(*d, QStringLiteral("btn_next"));
    EXPECT_TRUE(nextButton->isDefault());
    EXPECT_EQ(child<QPushButton>(*d, QStringLiteral("btn_cancel"))->text(), CommonText(2));

    const int captions[] = {92, 82, 82, 82, 90};
    for (int page = 0; page < Tfentrancetest::PageCount; ++page) {
        SCOPED_TRACE(page);
        EXPECT_EQ(d->currentPage(), page);
        EXPECT_EQ(back->isEnabled(), page > 0);
        EXPECT_EQ(nextButton->text(), AppText(captions[page]));
        if (page > 0) {
            auto *heading = child<QLabel>(*d, QStringLiteral("lb_heading%1").arg(page));
            EXPECT_EQ(heading->text(), AppText(83 + page));
            EXPECT_TRUE(heading->font().bold());
            EXPECT_TRUE(heading->isVisible());
        }
        if (page < Tfentrancetest::PageCount - 1)
            next(*d);
    }
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_EQ(d->currentPage(), 3);
    EXPECT_TRUE(seam.boxes.isEmpty());

    // Items: a choice list over the gap, four answers, nothing chosen, no typing.
    QComboBox *first = item(*d, 1);
    EXPECT_FALSE(first->isEditable());
    EXPECT_EQ(first->count(), TestItems::AnswerCount);
    EXPECT_EQ(first->currentIndex(), -1);
    EXPECT_EQ(child<QLabel>(*d, QStringLiteral("lb_before1"))->text(), "She ");
    EXPECT_EQ(child<QLabel>(*d, QStringLiteral("lb_after1"))->text(), " a teacher.");
}

TEST_F(EntranceTest, TheWelcomeTextPassesTheFocusToTheCheckBox) {
    auto d = open();
    QApplication::setActiveWindow(d.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    auto *box = child<QCheckBox>(*d, QStringLiteral("chbdontshow"));
    next(*d);
    child<QPushButton>(*d, QStringLiteral("btn_back"))->click();
    child<QTextEdit>(*d, QStringLiteral("re_welcome"))->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(QApplication::focusWidget(), box);
}

TEST_F(EntranceTest, TheScoreCountsTheMarkedAnswers) {
    struct Case {
        const char *name;
        std::function<int(const QStringList &)> pick;
        int score;
    };
    const Case cases[] = {
        {"nothing answered", [](const QStringList &) { return -1; }, 0},
        {"every marked answer", marked, 40},
        {"every other answer", [](const QStringList &a) { return (marked(a) + 1) % 4; }, 0},
        {"first half marked",
         [n = 0](const QStringList &a) mutable { return ++n <= 20 ? marked(a) : -1; }, 20},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        server.received.clear();
        seam.boxes.clear();
        auto d = open();
        answer(*d, c.pick);
        EXPECT_EQ(d->Score(), c.score);
        toLastPage(*d);
        seam.boxAnswers.enqueue(mrYes);
        next(*d);
        EXPECT_EQ(sentResults(), QByteArrayList{"testresult=" + QByteArray::number(c.score)});
        EXPECT_EQ(seam.boxTexts(),
                  (QStringList{AppText(88), Tfentrancetest::SentText(c.score, 40)}));
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(d->result(), QDialog::Accepted);
        EXPECT_TRUE(Settings().runWizardOnStartup);
        EXPECT_TRUE(iniText().contains("RunWizardOnStartup=1"));
    }
    // The request carries the session.
    EXPECT_TRUE(server.received.value(0).target.contains("PHPSESSID=abc"));
}

TEST_F(EntranceTest, TickingTheBoxThenFinishingSendsTheResultAndSwitchesTheOfferOff) {
    auto d = open();
    child<QCheckBox>(*d, QStringLiteral("chbdontshow"))->setChecked(true);
    answer(*d, marked);
    toLastPage(*d);
    seam.boxAnswers.enqueue(mrYes);
    next(*d);
    EXPECT_EQ(sentResults(), QByteArrayList{"testresult=40"});
    EXPECT_FALSE(d->isVisible());
    EXPECT_FALSE(Settings().runWizardOnStartup);
    EXPECT_TRUE(iniText().contains("RunWizardOnStartup=0"));
}

TEST_F(EntranceTest, CancellingAsksAndKeepsTheOffer) {
    auto d = open();
    next(*d);
    seam.boxAnswers.enqueue(mrNo);
    seam.boxAnswers.enqueue(mrYes);
    child<QPushButton>(*d, QStringLiteral("btn_cancel"))->click();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->currentPage(), 1);
    EXPECT_TRUE(iniText().isEmpty()); // nothing written while it stays open
    QTest::keyClick(d.get(), Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(seam.boxTexts(), (QStringList{AppText(91), AppText(91)}));
    EXPECT_EQ(seam.boxes[0].buttons, (QList<int>{mrYes, mrNo}));
    EXPECT_TRUE(Settings().runWizardOnStartup);
    EXPECT_TRUE(iniText().contains("RunWizardOnStartup=1"));
    EXPECT_TRUE(sentResults().isEmpty());
}

TEST_F(EntranceTest, DeclinedConfirmationOrFailedSendingKeepsTheLastPageForAnotherTry) {
    auto d = open();
    answer(*d, marked);
    toLastPage(*d);
    seam.boxAnswers.enqueue(mrNo);
    next(*d);
    EXPECT_TRUE(sentResults().isEmpty());
    EXPECT_TRUE(d->isVisible());

    LoopbackReply refused;
    refused.body = "error Neplatný výsledek testu.";
    server.replies.enqueue(refused);
    seam.boxes.clear();
    seam.boxAnswers.enqueue(mrYes);
    next(*d);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->currentPage(), Tfentrancetest::PageCount - 1);
    ASSERT_EQ(seam.boxes.size(), 2);
    EXPECT_EQ(seam.boxes[1].type, mtError);
    EXPECT_TRUE(iniText().isEmpty());

    seam.boxAnswers.enqueue(mrYes);
    next(*d);
    EXPECT_EQ(sentResults(), (QByteArrayList{"testresult=40", "testresult=40"}));
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(seam.boxTexts().last(), Tfentrancetest::SentText(40, 40));
}

TEST_F(EntranceTest, MissingOrDamagedContentKeepsTheDialogClosed) {
    struct Case {
        const char *name;
        const char *file;
        QByteArray content; // empty: the file is missing
        int text;
    };
    const QByteArray items =
        QByteArray("A ___ b. | *x | y | z | w\n").repeated(TestItems::ItemCount - 1);
    const Case cases[] = {
        {"missing welcome text", "welcome2.rtf", {}, 1500},
        {"welcome text not rich text", "welcome2.rtf", "Vítejte", 1500},
        {"truncated welcome text", "welcome2.rtf", "{\\rtf1 Vítejte{", 1500},
        {"missing items", "entrancetest.txt", {}, 1501},
        {"too few items", "entrancetest.txt", items, 1501},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        const QString saved = path + QStringLiteral(".saved");
        ASSERT_TRUE(QFile::rename(path, saved));
        if (!c.content.isEmpty()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.content);
        }
        try {
            Tfentrancetest::Run(GlobalServices(), nullptr);
            ADD_FAILURE() << "the dialog opened";
        } catch (const AppError &e) {
            EXPECT_EQ(e.message(), AppText(c.text).arg(path));
        }
        QFile::remove(path);
        ASSERT_TRUE(QFile::rename(saved, path));
    }
}

TEST_F(EntranceTest, SlovakUsesItsOwnWelcomeText) {
    SetLanguageIndex(LangSlovak);
    auto d = open();
    EXPECT_TRUE(child<QTextEdit>(*d, QStringLiteral("re_welcome"))
                    ->toPlainText()
                    .startsWith(QString::fromUtf8("Vitajte")));
    EXPECT_EQ(d->windowTitle(), AppText(80));
}

TEST(TestItems, TheShippedItemsHaveFourAnswersAndOneMarked) {
    QString error;
    const QList<TestItem> items =
        TestItems::Load(QStringLiteral(TELLAVO_ASSETS "/entrancetest.txt"), error);
    ASSERT_EQ(items.size(), TestItems::ItemCount) << error.toStdString();
    for (const TestItem &item : items) {
        SCOPED_TRACE(item.before.toStdString());
        EXPECT_EQ(item.answers.size(), TestItems::AnswerCount);
        EXPECT_EQ(std::count_if(item.answers.begin(), item.answers.end(), TestItems::IsCorrect), 1);
        QStringList answers = item.answers;
        EXPECT_EQ(answers.removeDuplicates(), 0);
    }
}

TEST(TestItems, BadLinesAreRefused) {
    const QString good = QStringLiteral("A ___ b. | *x | y | z | w\n");
    struct Case {
        const char *name;
        QString text;
    };
    const Case cases[] = {
        {"three answers", QStringLiteral("A ___ b. | *x | y | z\n")},
        {"no gap", QStringLiteral("A b. | *x | y | z | w\n")},
        {"two gaps", QStringLiteral("A ___ ___ b. | *x | y | z | w\n")},
        {"two marked", QStringLiteral("A ___ b. | *x | *y | z | w\n")},
        {"empty answer", QStringLiteral("A ___ b. | *x |  | z | w\n")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        EXPECT_TRUE(TestItems::Parse(good.repeated(39) + c.text, error).isEmpty());
        EXPECT_FALSE(error.isEmpty());
    }
    QString error;
    const QList<TestItem> items =
        TestItems::Parse(QStringLiteral("# comment\n\n") + good.repeated(39) +
                             QStringLiteral("A ___ b. | x | y | z | w\n"),
                         error);
    ASSERT_EQ(items.size(), 40) << error.toStdString();
    EXPECT_EQ(items[0].answers, (QStringList{"x ", "y", "z", "w"}));
    EXPECT_EQ(
        std::count_if(items[39].answers.begin(), items[39].answers.end(), TestItems::IsCorrect),
        0); // an item without a marked answer is allowed and never counts
}

} // namespace
