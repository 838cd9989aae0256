#include "SimTcpServer.h"

#include "SimTcpConnection.h"

#include <QTcpSocket>
#include <QTimer>

#include <cstdio>

SimTcpServer::SimTcpServer(SimStore &s, SimTranscript &t, const SimSessionOptions &o, QObject *parent)
    : QObject(parent), store(s), transcript(t), options(o), server(this)
{
    connect(&server, &QTcpServer::newConnection, this, &SimTcpServer::accept);
    connect(&server, &QTcpServer::acceptError, this, &SimTcpServer::onAcceptError);
}

bool SimTcpServer::listen(const QHostAddress &address, quint16 port, QString &error)
{
    if (server.listen(address, port))
        return true;
    error = QStringLiteral("cannot listen on %1:%2: %3").arg(address.toString()).arg(port).arg(server.errorString());
    return false;
}

void SimTcpServer::accept()
{
    while (sessions < options.maxSessions) {
        QTcpSocket *socket = server.nextPendingConnection();
        if (!socket)
            return;
        ++sessions;
        failing = false;
        auto *connection = new SimTcpConnection(socket, store, transcript, options, this);
        connect(connection, &SimTcpConnection::finished, this, [this] {
            --sessions;
            resume();
        });
    }
    server.pauseAccepting();
}

void SimTcpServer::onAcceptError(QAbstractSocket::SocketError)
{
    // The server has paused accepting; nothing else would ever resume it.
    if (retrying)
        return;
    if (!failing) {
        std::fprintf(stderr, "kyr7sim: cannot accept a connection: %s; trying again every %d ms\n",
                     qPrintable(server.errorString()), RetryMs);
        std::fflush(stderr);
    }
    failing = true;
    retrying = true;
    QTimer::singleShot(RetryMs, this, [this] {
        retrying = false;
        resume();
    });
}

void SimTcpServer::resume()
{
    if (sessions >= options.maxSessions || retrying)
        return;
    server.resumeAccepting();
    // Connections accepted into Qt's queue while paused are taken now.
    if (server.hasPendingConnections())
        accept();
}
