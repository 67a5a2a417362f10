// Entry point of the server test programs: a core application for sockets, then the tests,
// against SQLite or, in the PostgreSQL run, against the private PostgreSQL server.
#include "testdatabase.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

// Skips every test of the PostgreSQL run, saying why, when its server is not there.
class PostgresRun : public testing::Environment {
public:
    void SetUp() override {
        const QString reason = TestDatabase::PostgresUnavailable();
        if (!reason.isEmpty())
            GTEST_SKIP() << "PostgreSQL run skipped: " << reason.toStdString();
    }
};

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    if (TestDatabase::UsesPostgres())
        testing::AddGlobalTestEnvironment(new PostgresRun);
    return RUN_ALL_TESTS();
}
