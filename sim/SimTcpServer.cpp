#include "SimTcpServer.h"

#include "SimTcpConnection.h"

#include <QTcpSocket>
#include <QTimer>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// True while the process can still open `count` more descriptors. Qt's
// server cannot be relied on to say when accepting fails for want of them:
// once its socket engine has seen a passing "try again", it takes every
// later shortage for one too and keeps trying at once, without a word.
bool descriptorsLeft(qintptr listening, int count)
{
#ifdef Q_OS_UNIX
    int taken[8];
    int made = 0;
    while (made < count && made < 8) {
        const int fd = ::fcntl(int(listening), F_DUPFD_CLOEXEC, 0);
        if (fd < 0)
            break;
        taken[made++] = fd;
    }
    for (int i = 0; i < made; ++i)
        ::close(taken[i]);
    return made == count;
#else
    Q_UNUSED(listening);
    Q_UNUSED(count);
    return true;
#endif
}

} // namespace

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
        auto *connection = new SimTcpConnection(socket, store, transcript, options, this);
        connect(connection, &SimTcpConnection::finished, this, [this] {
            --sessions;
            resume();
        });
        if (!descriptorsLeft(server.socketDescriptor(), Reserve)) {
            // Stop before the next accept fails; a session's end or the
            // retry takes it up again.
            server.pauseAccepting();
            shortOfDescriptors();
            return;
        }
        failing = false;
    }
    server.pauseAccepting();
}

void SimTcpServer::onAcceptError(QAbstractSocket::SocketError)
{
    // The server has paused accepting; nothing else would ever resume it.
    retryLater(server.errorString());
}

void SimTcpServer::shortOfDescriptors()
{
    retryLater(QStringLiteral("no file descriptors left"));
}

void SimTcpServer::retryLater(const QString &why)
{
    if (retrying)
        return;
    if (!failing) {
        std::fprintf(stderr, "kyr7sim: cannot accept a connection: %s; trying again every %d ms\n", qPrintable(why),
                     RetryMs);
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
    if (!descriptorsLeft(server.socketDescriptor(), Reserve)) {
        shortOfDescriptors();
        return;
    }
    server.resumeAccepting();
    // Connections accepted into Qt's queue while paused are taken now.
    if (server.hasPendingConnections())
        accept();
}
