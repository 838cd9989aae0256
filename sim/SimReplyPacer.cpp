#include "SimReplyPacer.h"

#include <algorithm>

SimReplyPacer::SimReplyPacer(const Faults &f, std::function<void(const QByteArray &)> w, QObject *parent)
    : QObject(parent), faults(f), write(std::move(w)), timer(this)
{
    clock.start();
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &SimReplyPacer::pump);
}

void SimReplyPacer::send(const QByteArray &reply)
{
    ++replies;
    if (replies == faults.drop || reply.isEmpty())
        return;
    queue.push_back({reply, clock.elapsed() + faults.delayMs});
    queued += reply.size();
    if (!timer.isActive())
        pump();
}

void SimReplyPacer::notifyWhenDrained()
{
    drainWanted = true;
    if (!timer.isActive())
        pump();
}

void SimReplyPacer::pump()
{
    while (!queue.empty()) {
        const qint64 now = clock.elapsed();
        Pending &head = queue.front();
        qint64 wait = std::max(head.due, nextPieceAt) - now;
        if (wait > 0) {
            timer.start(int(wait));
            return;
        }
        qsizetype n = head.data.size();
        if (faults.chunk > 0)
            n = std::min<qsizetype>(n, faults.chunk);
        if (faults.bytesPerSec > 0) {
            if (rateStart < 0) {
                rateStart = now;
                rateSent = 0;
            }
            // The first byte goes at once; byte k may go k / rate seconds later.
            const qint64 allowed = (now - rateStart) * faults.bytesPerSec / 1000 + 1 - rateSent;
            if (allowed <= 0) {
                const qint64 at = rateStart + (rateSent * 1000 + faults.bytesPerSec - 1) / faults.bytesPerSec;
                timer.start(int(std::max<qint64>(1, at - now)));
                return;
            }
            n = std::min<qsizetype>(n, allowed);
        }
        const QByteArray piece = head.data.left(n);
        head.data.remove(0, n);
        queued -= n;
        rateSent += n;
        if (head.data.isEmpty())
            queue.pop_front();
        if (faults.chunk > 0)
            nextPieceAt = now + faults.chunkGapMs;
        write(piece);
    }
    rateStart = -1;
    if (drainWanted) {
        drainWanted = false;
        emit drained();
    }
}
