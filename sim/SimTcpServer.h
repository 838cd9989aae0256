#pragma once

#include "SimSessionOptions.h"

#include <QHostAddress>
#include <QTcpServer>

class SimStore;
class SimTranscript;

// Accepts TCP connections; each connection is one session on the shared configuration.
class SimTcpServer : public QObject
{
    Q_OBJECT
public:
    SimTcpServer(SimStore &store, SimTranscript &transcript, const SimSessionOptions &options,
                 QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port, QString &error);
    QHostAddress address() const { return server.serverAddress(); }
    quint16 port() const { return server.serverPort(); }

private:
    void accept();

    SimStore &store;
    SimTranscript &transcript;
    SimSessionOptions options;
    QTcpServer server;
};
