#pragma once

#include "Link.h"

#include <QByteArray>
#include <QList>

#include <functional>

// An in-memory link: records what is sent; the test delivers replies with
// receive() and can make the peer close or fail.
class MemoryLink : public Link
{
public:
    using Link::Link;
    void open() override
    {
        opened = true;
        if (connectOnOpen)
            emit connected();
    }
    void send(const QByteArray &bytes) override
    {
        sent += bytes;
        writes.append(bytes);
        if (onSend)
            onSend(bytes);
    }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }

    void receive(const QByteArray &bytes) { emit dataReceived(bytes); }
    void peerCloses()
    {
        opened = false;
        emit closed();
    }

    std::function<void(const QByteArray &)> onSend; // a peer that acts on what arrives
    bool connectOnOpen = true;
    bool opened = false;
    QByteArray sent;
    QList<QByteArray> writes;
};
