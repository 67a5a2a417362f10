#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// Keeps one running instance per installation: the first start owns a local socket named
// after the program path; later starts send it a code (16 close yourself, 28 come to the
// front) and end.
class InstanceGuard : public QObject {
    Q_OBJECT
public:
    enum Code { CloseYourself = 16, ComeToFront = 28 };

    explicit InstanceGuard(const QString &programPath, QObject *parent = nullptr);
    ~InstanceGuard() override;

    // The socket name derived from the program path: upper case, "/" separators, made safe
    // for a socket name.
    static QString GuardName(const QString &programPath);

    // Tries to become the running instance; false when another instance already runs.
    bool acquire();
    // Sends a code to the running instance and waits until it has taken it.
    bool send(Code code, int timeoutMs = 5000);

signals:
    void received(int code);

private:
    void onConnection();
    QString m_name;
    QLocalServer *m_server = nullptr;
};
