#include "SimTcpServer.h"

#include "SimSession.h"

#include <QTcpSocket>

SimTcpServer::SimTcpServer(SimStore &s, SimTranscript &t, const SimSessionOptions &o, QObject *parent)
    : QObject(parent), store(s), transcript(t), options(o), server(this)
{
    connect(&server, &QTcpServer::newConnection, this, &SimTcpServer::accept);
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
    while (QTcpSocket *socket = server.nextPendingConnection()) {
        // Small replies and pieces must leave at once, not wait for the peer's acknowledgement.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        auto *session = new SimSession(
            store, transcript, options,
            [socket](const QByteArray &bytes) {
                socket->write(bytes);
                socket->flush();
            },
            socket);
        connect(socket, &QTcpSocket::readyRead, session, [socket, session] { session->receive(socket->readAll()); });
        connect(session, &SimSession::closeRequested, socket, [socket] { socket->disconnectFromHost(); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}
