#pragma once

#include "app/signin.h"
#include "data/dm.h"
#include "loopbackhttpserver.h"
#include "qtprinters.h"
#include "scriptedseam.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// Sign-in against a scripted loopback server: a private installation folder, settings for
// the server, a data module and the sign-in with counting hooks.
class SignInTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // "okzip" + the compressed session section and packets, as the server answers a sign-in.
    static QByteArray LoginReply(const QString &session, const QList<QByteArray> &packets);
    static LoopbackReply Reply(int status, const QByteArray &body);
    static QByteArray LookupPacket(const char *field, int rows);
    static QByteArray UserPacket();
    QList<QByteArray> AllLookups() const;
    // The requests the server saw with this action.
    QList<LoopbackRequest> Requests(const QString &action) const;

    QTemporaryDir dir;
    ScriptedSeam seam;
    LoopbackHttpServer server;
    Tdm module;
    std::unique_ptr<TSignIn> signIn;
    int refreshes = 0;
    int entranceTests = 0;
};
