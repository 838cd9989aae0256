#pragma once

#include "SimSessionOptions.h"

#include <QHostAddress>
#include <QTcpServer>

class SimStore;
class SimTranscript;

// Accepts TCP connections; each connection is one session on the shared
// configuration. At most maxSessions run at once; further clients wait in
// the listen queue. When accepting fails, or would fail because no file
// descriptors are left beyond Reserve, it is said on standard error and tried
// again after RetryMs; the clients wait in the listen queue meanwhile.
class SimTcpServer : public QObject
{
    Q_OBJECT
public:
    SimTcpServer(SimStore &store, SimTranscript &transcript, const SimSessionOptions &options,
                 QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port, QString &error);
    QHostAddress address() const { return server.serverAddress(); }
    quint16 port() const { return server.serverPort(); }

    static constexpr int RetryMs = 200;
    // Descriptors kept free besides the sessions': the state file that SAVE
    // writes, and its temporary copy.
    static constexpr int Reserve = 2;

private:
    void accept();
    void onAcceptError(QAbstractSocket::SocketError error);
    void shortOfDescriptors();
    void retryLater(const QString &why);
    void resume();

    SimStore &store;
    SimTranscript &transcript;
    SimSessionOptions options;
    QTcpServer server;
    int sessions = 0;
    bool retrying = false;
    bool failing = false; // said once per spell of failures
};
