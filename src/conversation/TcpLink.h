#pragma once

#include "Link.h"

#include <QTcpSocket>

// A link over TCP. Connecting (and resolving a host name) is asynchronous;
// connected() follows open() once the encoder accepts.
class TcpLink : public Link
{
    Q_OBJECT
public:
    TcpLink(const QString &host, quint16 port, QObject *parent = nullptr);
    ~TcpLink() override;

    // The host for an encoder address: the address itself when it holds a
    // ".", otherwise "KYR7-" followed by it (the encoder's serial number).
    static QString HostFor(const QString &address);

    void open() override;
    void send(const QByteArray &bytes) override;
    void close() override;
    bool isOpen() const override;

    QString host() const { return hostName; }
    quint16 port() const { return portNumber; }

private:
    void onError(QAbstractSocket::SocketError error);
    void onDisconnected();

    QString hostName;
    quint16 portNumber;
    bool closedHere = false;
    QTcpSocket socket;
};
