#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// One link to an encoder: TCP, a direct serial line or a modem line.
class Link : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // Starts opening the link. A TCP link reports connected() later; a
    // serial link is open (or has reported errorOccurred()) on return.
    virtual void open() = 0;
    // Writes bytes as they are; no line ending is added.
    virtual void send(const QByteArray &bytes) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

signals:
    void connected();
    void dataReceived(const QByteArray &bytes);
    // The text for the monitor, already worded ("LAN Error: ...",
    // "COM3 is not available").
    void errorOccurred(const QString &message);
    // The peer closed the link.
    void closed();
};
