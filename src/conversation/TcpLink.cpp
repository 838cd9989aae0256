#include "TcpLink.h"

TcpLink::TcpLink(const QString &host, quint16 port, QObject *parent)
    : Link(parent), hostName(host), portNumber(port), socket(this)
{
    connect(&socket, &QTcpSocket::connected, this, [this] {
        socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        emit connected();
    });
    connect(&socket, &QTcpSocket::readyRead, this, [this] {
        const QByteArray bytes = socket.readAll();
        if (!bytes.isEmpty())
            emit dataReceived(bytes);
    });
    connect(&socket, &QTcpSocket::errorOccurred, this, &TcpLink::onError);
    connect(&socket, &QTcpSocket::disconnected, this, &TcpLink::onDisconnected);
}

TcpLink::~TcpLink()
{
    socket.disconnect(this);
    socket.abort();
}

QString TcpLink::HostFor(const QString &address)
{
    if (address.contains(QLatin1Char('.')))
        return address;
    return QStringLiteral("KYR7-") + address;
}

void TcpLink::open()
{
    closedHere = false;
    socket.connectToHost(hostName, portNumber);
}

void TcpLink::send(const QByteArray &bytes)
{
    // Written at once, in the event that asked for it, rather than on a later
    // turn of the event loop.
    if (socket.state() == QAbstractSocket::ConnectedState) {
        socket.write(bytes);
        socket.flush();
    }
}

void TcpLink::close()
{
    closedHere = true;
    socket.abort();
}

bool TcpLink::isOpen() const
{
    return socket.state() == QAbstractSocket::ConnectedState;
}

void TcpLink::onError(QAbstractSocket::SocketError error)
{
    // The peer closing is not an error of the link: disconnected() follows
    // and reports it as closed().
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    emit errorOccurred(QStringLiteral("LAN Error: ") + socket.errorString());
}

void TcpLink::onDisconnected()
{
    // Only the encoder ending a working connection counts as closed; a
    // disconnection this side asked for (after an error, at shutdown) does not.
    if (!closedHere)
        emit closed();
}
