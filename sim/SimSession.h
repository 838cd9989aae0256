#pragma once

#include "SimEncoder.h"
#include "SimReplyPacer.h"
#include "SimSessionOptions.h"

#include <QObject>
#include <QTimer>

#include <functional>

class SimStore;
class SimTranscript;

// One conversation on one transport: the encoder, its reply pacing and the
// session faults. The transport hands in received bytes and is asked to
// write bytes and, when a fault or a restart ends the session, to close.
class SimSession : public QObject
{
    Q_OBJECT
public:
    SimSession(SimStore &store, SimTranscript &transcript, const SimSessionOptions &options,
               std::function<void(const QByteArray &)> write, QObject *parent = nullptr);

    void receive(const QByteArray &bytes);
    // For a transport that stays open (a serial line): after closeRequested,
    // start again logged out, or as a modem that reports "NO CARRIER".
    void hangUp();
    SimEncoder &encoder() { return enc; }
    // Reply bytes held back by the pacing faults, not yet written.
    qint64 unsentBytes() const { return pacer.pendingBytes(); }

signals:
    // Everything before has been written; the transport should end the session now.
    void closeRequested();

private:
    // --close-idle: a session that has received nothing for a while ends,
    // and says so on standard error.
    void idleTimeout();
    void endSession();

    SimTranscript &transcript;
    SimSessionOptions options;
    SimEncoder enc;
    SimReplyPacer pacer;
    QMetaObject::Connection replies;
    QTimer idle;
    int lines = 0;
    bool ending = false;
};
