#include "net/settings/cfghandler.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CfgStoreTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    static QByteArray bytesOf(const QString &file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir m_dir;
};

TEST_F(CfgStoreTest, ItemsLiveInNamedFilesOfAFreshFolder) {
    TFileCfgHandler store(path(QStringLiteral("a/b/store")));
    TCfgHandler &cfg = store;
    ASSERT_TRUE(QFileInfo(path(QStringLiteral("a/b/store"))).isDir());

    const QString layout = QStringLiteral("Šířka;12\r\nŘádek");
    EXPECT_TRUE(cfg.Write(QStringLiteral("col"), QString(), layout, QStringLiteral("frorders")));
    EXPECT_TRUE(cfg.Write(QStringLiteral("dbo"), QStringLiteral("x"), QStringLiteral("t"),
                          QStringLiteral("frorders")));
    EXPECT_EQ(bytesOf(path(QStringLiteral("a/b/store/frorders.col"))),
              QByteArray("\x8A\xED\xF8ka;12\r\n\xD8\xE1\x64\x65k"));
    EXPECT_EQ(bytesOf(path(QStringLiteral("a/b/store/frorders.dbo.x"))), QByteArray("t"));

    QString text;
    EXPECT_TRUE(cfg.Read(QStringLiteral("col"), QString(), text, QStringLiteral("frorders")));
    EXPECT_EQ(text, layout);

    // A shorter text replaces the item whole.
    EXPECT_TRUE(cfg.Write(QStringLiteral("col"), QString(), QStringLiteral("1"),
                          QStringLiteral("frorders")));
    EXPECT_TRUE(cfg.Read(QStringLiteral("col"), QString(), text, QStringLiteral("frorders")));
    EXPECT_EQ(text, QStringLiteral("1"));

    EXPECT_TRUE(cfg.Delete(QStringLiteral("col"), QString(), QStringLiteral("frorders")));
    EXPECT_FALSE(cfg.Delete(QStringLiteral("col"), QString(), QStringLiteral("frorders")));
    EXPECT_FALSE(cfg.Read(QStringLiteral("col"), QString(), text, QStringLiteral("frorders")));
    EXPECT_TRUE(text.isEmpty());
}

TEST_F(CfgStoreTest, EmptyItemsAreWrittenButReadAsMissing) {
    TFileCfgHandler store(path(QStringLiteral("store")));
    EXPECT_TRUE(store.Write(QStringLiteral("col"), QString(), QString(), QStringLiteral("k")));
    EXPECT_EQ(bytesOf(path(QStringLiteral("store/k.col"))), QByteArray());
    QString text = QStringLiteral("stale");
    EXPECT_FALSE(store.Read(QStringLiteral("col"), QString(), text, QStringLiteral("k")));
    EXPECT_TRUE(text.isEmpty());
}

TEST_F(CfgStoreTest, FailuresAreReportedNeverRaised) {
    TFileCfgHandler store(path(QStringLiteral("store")));
    QString text;
    // Name parts that would leave the folder are refused.
    for (const QString &key :
         {QStringLiteral("../escape"), QStringLiteral("a/b"), QStringLiteral("a\\b"), QString()}) {
        EXPECT_FALSE(store.Write(QStringLiteral("col"), QString(), QStringLiteral("x"), key));
        EXPECT_FALSE(store.Read(QStringLiteral("col"), QString(), text, key));
        EXPECT_FALSE(store.Delete(QStringLiteral("col"), QString(), key));
    }
    EXPECT_FALSE(store.Write(QStringLiteral("col"), QStringLiteral("../x"), QStringLiteral("x"),
                             QStringLiteral("k")));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("escape.col"))));

    // An item that is a folder cannot be read or written.
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("store/k.col"))));
    EXPECT_FALSE(store.Read(QStringLiteral("col"), QString(), text, QStringLiteral("k")));
    EXPECT_FALSE(
        store.Write(QStringLiteral("col"), QString(), QStringLiteral("x"), QStringLiteral("k")));

    // A folder removed after creation is made again; one blocked by a file is not.
    ASSERT_TRUE(QDir(path(QStringLiteral("store"))).removeRecursively());
    EXPECT_TRUE(
        store.Write(QStringLiteral("col"), QString(), QStringLiteral("x"), QStringLiteral("k")));
    QFile blocker(path(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TFileCfgHandler blocked(path(QStringLiteral("blocker/store")));
    EXPECT_FALSE(
        blocked.Write(QStringLiteral("col"), QString(), QStringLiteral("x"), QStringLiteral("k")));
    EXPECT_FALSE(blocked.Read(QStringLiteral("col"), QString(), text, QStringLiteral("k")));
}

} // namespace
