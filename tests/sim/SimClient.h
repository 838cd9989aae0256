#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QIODevice>
#include <QSignalSpy>

#include <algorithm>

// The test's end of a conversation with kyr7sim, on any device (a TCP
// socket, a serial port on a pseudo-terminal). Collects what arrives and
// counts the separate arrivals.
class SimClient
{
public:
    explicit SimClient(QIODevice &device) : dev(device) {}

    void send(const QByteArray &bytes) { dev.write(bytes); }

    // Waits until the received text ends with one of the prompts (or with
    // `until`, when given) and returns it all, emptying the buffer. Returns
    // what came so far when the time runs out.
    QByteArray readReply(const QByteArray &until = {}, int timeoutMs = 5000)
    {
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            pull();
            if (complete(until) || deadline.hasExpired())
                break;
            QSignalSpy spy(&dev, &QIODevice::readyRead);
            spy.wait(int(std::clamp<qint64>(deadline.remainingTime(), 1, 50)));
        }
        return take();
    }

    // Sends one line ended by CR and reads the reply.
    QByteArray command(const QByteArray &line, const QByteArray &until = {}, int timeoutMs = 5000)
    {
        send(line + '\r');
        return readReply(until, timeoutMs);
    }

    // Everything that arrives within ms.
    QByteArray readFor(int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            QSignalSpy spy(&dev, &QIODevice::readyRead);
            spy.wait(int(qMax<qint64>(1, ms - t.elapsed())));
            pull();
        }
        pull();
        return take();
    }

    // Number of separate arrivals that made up the last reply read.
    int lastArrivals() const { return lastPieces; }

private:
    void pull()
    {
        const QByteArray bytes = dev.readAll();
        if (!bytes.isEmpty()) {
            buffer += bytes;
            ++pieces;
        }
    }

    bool complete(const QByteArray &until) const
    {
        if (!until.isEmpty())
            return buffer.endsWith(until);
        return buffer.endsWith('!') || buffer.endsWith('>') || buffer.endsWith('#');
    }

    QByteArray take()
    {
        const QByteArray out = buffer;
        buffer.clear();
        lastPieces = pieces;
        pieces = 0;
        return out;
    }

    QIODevice &dev;
    QByteArray buffer;
    int pieces = 0;
    int lastPieces = 0;
};
