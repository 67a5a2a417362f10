#pragma once

#include "app/tapp.h"
#include "scriptedseam.h"
#include "serverharness.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// The real program's windows signed in to the reference server with its demo school, over
// plain HTTP on loopback.
class ScreenFixture : public testing::Test {
protected:
    ScreenFixture() = default;
    // A server started with changed options (a lesson relay, for instance).
    explicit ScreenFixture(std::function<void(ServerOptions &)> tweak) : server(std::move(tweak)) {}

    void SetUp() override;
    void TearDown() override;

    // Writes the settings file for an account (the password defaults to the login name).
    void useAccount(const QString &name, const QString &password = {});
    // Signs in with the settings file's account; the first sign-in of the installation
    // brings the book catalogue and connects again.
    void signIn(const QString &name, const QString &password = {});
    void signOut();
    // The session id of the running session.
    QString sessionId() const;
    void clickMain(const char *objectName);

    ScriptedSeam seam;
    ServerHarness server;
    QTemporaryDir dir;
    std::unique_ptr<TApp> app;
};

// Runs the action on the next modal dialog as soon as it shows (inside its event loop).
// The action must close the dialog.
void WhenModal(std::function<void(QWidget *dialog)> action);
