#pragma once

#include "AppServices.h"
#include "ReadBack.h"
#include "SavePlan.h"
#include "StepTimer.h"
#include "clsKYR.h"

#include <QObject>

class ConversationLog;

// "Verify", offered once a save has run through with the unit still
// connected: connects again with the same connection settings, reads back
// the sections the save wrote (ReadBack) and compares them with what was
// sent. The monitor gets the read-back's own lines and then what it found
// (VerifyReport); the conversation log gets its bytes and every difference.
// It can be run again.
class Verifier : public QObject
{
    Q_OBJECT
public:
    // A unit that refuses connections for a while after storing is tried
    // again within this time.
    static constexpr int Timeout = 30000;

    Verifier(const AppServices &services, ConversationLog &log, QObject *parent = nullptr);

    // The save about to run over the link of settings: what it writes, the
    // values it sends, and what the unit held before.
    void saving(const SavePlan &plan, const clsKYR &sent, const clsKYR &before, const ConnectionSettings &settings);
    // Nothing to verify (another closing conversation is about to run).
    void forget() { written.clear(); }
    // A save has been started, and the unit can be reached again where it was.
    bool offered() const { return !written.empty() && whyNot.isEmpty(); }
    // Why a save cannot be read back (it moves the unit on the LAN), or empty.
    QString notOffered() const { return written.empty() ? QString() : whyNot; }
    bool running() const { return readBack.running(); }
    // Reads back; what it found goes to the monitor in at most room lines.
    void start(const ConnectionSettings &settings, int room);
    const Verification &result() const { return readBack.result(); }
    // The read-back's conversation (its monitor lines, progress and bytes).
    Conversation &conversation() { return readBack.conversation(); }

signals:
    void monitor(const QString &line);
    void finished();

private:
    void onFinished();

    ConversationLog &log;
    // The program's timers, when the services give none.
    QtStepTimer ownSteps;
    QtStepTimer ownPause;
    ReadBack readBack;
    SavePlan written;
    clsKYR sent;
    QString whyNot;
    int room = 0;
};
