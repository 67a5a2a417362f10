#pragma once

#include "wire/tablecontent.h"
#include "server/serveroptions.h"
#include "testhttp.h"

#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <memory>

class CentralServer;
class SchoolDatabase;

// Demo accounts of the seeded school, by login name (the password is the login name).
namespace Demo {
constexpr qint64 Director = 1, Manager = 2, Manager2 = 3, Teacher = 4, Teacher2 = 5, Teacher3 = 6,
                 Client = 7, Newcomer = 8, Inactive = 9;
}

// The reference server with the demo school, running on its own thread on loopback ports,
// and the requests a client sends to it, encoded the way the client encodes them.
class ServerHarness {
public:
    explicit ServerHarness(std::function<void(ServerOptions &)> tweak = {});
    ~ServerHarness();

    quint16 httpPort() const { return m_httpPort; }
    quint16 httpsPort() const { return m_httpsPort; }
    const ServerOptions &options() const { return m_options; }
    QString dataFolder() const { return m_options.dataFolder; }
    // Moves the server's clock forward.
    void advanceClock(qint64 seconds);
    // Runs code on the server's thread (its database connection lives there).
    void onServer(const std::function<void(CentralServer &)> &code);
    // A single value from the school database.
    QVariant dbValue(const QString &sql, const QVariantList &binds = {});

    // The client's form post: data "a=1&b=2" transport-encoded, session in the address.
    HttpReply post(const QByteArray &action, const QByteArray &data, const QString &session = {},
                   bool tls = false);
    HttpReply get(const QByteArray &target);
    // "login" as the client sends it; user and password are full-form-encoded.
    HttpReply login(const QString &user, const QString &pass, const QByteArray &booksVer = "1",
                    int envLang = 2, const QByteArray &loginVer = "1.0.0.0", bool tls = false);
    // Signs in and returns the session id (a test failure when that does not work); the
    // password defaults to the login name, as for the demo accounts.
    QString signIn(const QString &user, const QString &password = {}, int envLang = 2);
    // "mybasegetrecords": the inflated packet, or the raw body when the reply is no "okzip".
    QByteArray fetch(const QString &session, const QByteArray &provider);
    TTableContent table(const QString &session, const QByteArray &provider);
    // "mybaseapplyupdates" with the compressed change set in the multipart field "deltaxml";
    // with returnRecords the reply carries the provider's rows behind the count.
    HttpReply apply(const QString &session, const QByteArray &provider, const QByteArray &changeSet,
                    bool compress = true, bool returnRecords = false);

private:
    QByteArray scriptTarget(const QByteArray &action, const QString &session) const;

    QTemporaryDir m_dir;
    QString m_database; // a PostgreSQL test database, dropped at the end
    ServerOptions m_options;
    QThread m_thread;
    std::unique_ptr<QObject> m_context;
    CentralServer *m_server = nullptr;
    quint16 m_httpPort = 0;
    quint16 m_httpsPort = 0;
};

// The session section of a sign-in reply as name=value pairs (names in lower case).
QHash<QString, QString> SessionSection(const QByteArray &inflated);
// The row of a table whose key (field 0) is the given id; -1 when missing.
int RowWithKey(const TTableContent &table, qint64 key);
TValue CellOf(const TTableContent &table, int row, const QString &field);
