#include "SimSession.h"

#include "SimTranscript.h"

#include <cstdio>

SimSession::SimSession(SimStore &store, SimTranscript &t, const SimSessionOptions &o,
                       std::function<void(const QByteArray &)> write, QObject *parent)
    : QObject(parent), transcript(t), options(o), enc(store, o.start, this), pacer(o.faults, std::move(write), this)
{
    enc.setConnectDelay(o.connectDelayMs);
    enc.setFlood(o.floodBytes);
    replies = connect(&enc, &SimEncoder::reply, &pacer, &SimReplyPacer::send);
    connect(&enc, &SimEncoder::lineProcessed, this, [this] {
        ++lines;
        if (options.closeAfter > 0 && lines == options.closeAfter)
            endSession();
    });
    connect(&enc, &SimEncoder::restarting, this, [this] {
        if (options.closeOnExit)
            endSession();
    });
    connect(&pacer, &SimReplyPacer::drained, this, [this] { emit closeRequested(); });
    if (options.closeIdleMs > 0) {
        idle.setSingleShot(true);
        idle.setInterval(options.closeIdleMs);
        connect(&idle, &QTimer::timeout, this, &SimSession::idleTimeout);
        idle.start();
    }
}

void SimSession::receive(const QByteArray &bytes)
{
    transcript.append(bytes);
    if (options.closeIdleMs > 0 && !ending)
        idle.start();
    if (!ending)
        enc.feed(bytes);
}

void SimSession::idleTimeout()
{
    // A line that is logged out, or a modem without a call, has no session to end.
    const SimEncoder::State state = enc.state();
    if (state == SimEncoder::State::LoggedOut || state == SimEncoder::State::ModemCommand)
        return;
    std::fprintf(stderr, "kyr7sim: nothing received for %d ms; the session ends\n", options.closeIdleMs);
    std::fflush(stderr);
    endSession();
}

void SimSession::endSession()
{
    if (ending)
        return;
    ending = true;
    // The rest of the bytes already received are not answered.
    disconnect(replies);
    enc.stop();
    pacer.notifyWhenDrained();
}

void SimSession::hangUp()
{
    disconnect(replies);
    replies = connect(&enc, &SimEncoder::reply, &pacer, &SimReplyPacer::send);
    ending = false;
    lines = 0;
    if (options.closeIdleMs > 0)
        idle.start();
    enc.hangUp();
    if (options.start == SimEncoder::Start::Modem)
        pacer.send("\r\nNO CARRIER\r\n");
}
