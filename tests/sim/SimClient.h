#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QIODevice>
#include <QSignalSpy>

// The test's end of a conversation with kyr7sim on any device (a TCP socket,
// a serial port on a pseudo-terminal).
struct SimClient
{
    void send(const QByteArray &bytes) { dev.write(bytes); }

    // Reads until the text ends with a prompt (or with `until`, when given);
    // returns what came so far when the time runs out.
    QByteArray readReply(const QByteArray &until = {}, int timeoutMs = 5000)
    {
        QByteArray got;
        arrivals = 0;
        for (QDeadlineTimer deadline(timeoutMs);;) {
            if (const QByteArray bytes = dev.readAll(); !bytes.isEmpty()) {
                got += bytes;
                ++arrivals;
            }
            if ((until.isEmpty() ? got.endsWith('!') || got.endsWith('>') || got.endsWith('#') : got.endsWith(until)) ||
                deadline.hasExpired())
                return got;
            QSignalSpy spy(&dev, &QIODevice::readyRead);
            spy.wait(int(qMin<qint64>(50, deadline.remainingTime())) + 1);
        }
    }

    // Sends lines (the last CR is added here) and reads the reply.
    QByteArray command(const QByteArray &lines, const QByteArray &until = {}, int timeoutMs = 5000)
    {
        send(lines + '\r');
        return readReply(until, timeoutMs);
    }

    QIODevice &dev;
    int arrivals = 0; // separate arrivals that made up the last reply read
};
