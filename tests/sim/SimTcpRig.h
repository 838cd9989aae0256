#pragma once

#include "SimClient.h"
#include "SimProcess.h"

#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpSocket>

// kyr7sim on an ephemeral loopback port and one connected client.
struct SimTcpRig
{
    explicit SimTcpRig(const QStringList &args = {}) : sim(args) {}

    bool start() { return sim.start() && connectClient(socket); }

    bool connectClient(QTcpSocket &s)
    {
        QSignalSpy connected(&s, &QTcpSocket::connected);
        s.connectToHost(QHostAddress::LocalHost, sim.port());
        return s.state() == QAbstractSocket::ConnectedState || connected.wait(5000);
    }

    // Waits until the simulator closes the connection.
    bool waitClosed(int timeoutMs = 5000)
    {
        if (socket.state() == QAbstractSocket::UnconnectedState)
            return true;
        QSignalSpy closed(&socket, &QTcpSocket::disconnected);
        return closed.wait(timeoutMs);
    }

    SimProcess sim;
    QTcpSocket socket;
    SimClient client{socket};
};
