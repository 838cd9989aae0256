#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

// Writes replies to a transport in order, applying the test faults: a delay
// before each reply, dropping the k-th reply, cutting replies into pieces
// written separately, and a byte rate limit. Paced by a timer, never by sleeping.
class SimReplyPacer : public QObject
{
    Q_OBJECT
public:
    struct Faults
    {
        int delayMs = 0;     // each reply waits this long before its first byte
        int chunk = 0;       // pieces of at most this many bytes (0: whole replies)
        int chunkGapMs = 5;  // pause between two pieces
        int drop = 0;        // the drop-th reply (1-based) is never sent (0: none)
        int bytesPerSec = 0; // byte rate limit (0: none)
    };

    SimReplyPacer(const Faults &faults, std::function<void(const QByteArray &)> write, QObject *parent = nullptr);

    void send(const QByteArray &reply);
    // Emit drained() once everything queued so far has been written.
    void notifyWhenDrained();
    bool idle() const { return queue.empty(); }
    // Bytes of replies not yet handed to the transport.
    qint64 pendingBytes() const { return queued; }

signals:
    void drained();

private:
    struct Pending
    {
        QByteArray data;
        qint64 due;
    };
    void pump();

    Faults faults;
    std::function<void(const QByteArray &)> write;
    std::deque<Pending> queue;
    QElapsedTimer clock;
    QTimer timer;
    int replies = 0;
    qint64 nextPieceAt = 0;
    qint64 rateStart = -1;
    qint64 rateSent = 0;
    bool drainWanted = false;
    qint64 queued = 0;
};
