#pragma once

#include "Conversation.h"
#include "SavePlan.h"
#include "Verification.h"
#include "clsKYR.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>

class Messages;
class StepTimer;

// Reads back what a save left on a unit and compares it with what was sent.
// After the save's conversation has ended, it connects again, retrying
// every RetryInterval until a deadline (a unit may refuse connections for a
// while after storing), retrieves the sections the save visited, leaves with
// "EXIT", and compares every setting sent with what the unit holds
// (Verification). A link lost around "SAVE" cannot be told apart from the
// unit's own close; this is how it is caught.
//
// Event driven and without widgets: kyr7ctl's apply and the program's
// "Verify" run it. The seams are the caller's: the step timer of the
// conversation, the timer that paces the attempts, the message boxes, and
// conversation() for its link factory, TCP port, connection interval, monitor
// lines and byte signals (a ConversationLog can follow it).
class ReadBack : public QObject
{
    Q_OBJECT
public:
    static constexpr int RetryInterval = 1000;

    ReadBack(StepTimer &stepTimer, StepTimer &pauseTimer, Messages &messages, QObject *parent = nullptr);

    Conversation &conversation() { return conv; }

    // Starts reading back: plan is what the save wrote, with the values of
    // sent; timeoutMs bounds the time within which a new attempt to connect
    // may start (0: one attempt). finished() follows, also when no attempt
    // succeeds.
    void start(const ConnectionSettings &settings, const SavePlan &plan, const clsKYR &sent, int timeoutMs);
    bool running() const { return phase != Phase::Idle; }

    // Valid after finished(): Verified or Mismatch with what was compared,
    // or Failed with the reason.
    const Verification &result() const { return verification; }
    // The unit's sections as read back (those the save visited).
    const clsKYR &held() const { return unit; }
    // Connection attempts made.
    int attempts() const { return tries; }

signals:
    // An attempt to connect starts (1 for the first).
    void attempting(int attempt);
    void finished();

private:
    enum class Phase { Idle, Retrieving, Pausing, Leaving };

    void tryConnect();
    void onRetrieved();
    void onLost();
    void done();

    clsKYR unit;
    StepTimer &pauseTimer;
    Conversation conv;
    ConnectionSettings connection;
    SavePlan written;
    clsKYR sentValues;
    QDeadlineTimer deadline;
    Phase phase = Phase::Idle;
    int tries = 0;
    QString lastLine; // the monitor's last line: why an attempt failed
    Verification verification;
};
