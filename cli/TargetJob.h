#pragma once

#include "Clock.h"
#include "ConsoleMessages.h"
#include "Conversation.h"
#include "ConversationLog.h"
#include "DeviceLock.h"
#include "ReadBack.h"
#include "SavePlan.h"
#include "StepTimer.h"
#include "Target.h"
#include "Verification.h"
#include "clsKYR.h"

#include <QObject>
#include <QString>
#include <QStringList>

// The work with one encoder: retrieve its configuration with the
// program's retrieval conversation and check its version; then, as the
// command decides, leave with "EXIT" or write a configuration with the
// save conversation that "Save and Exit" runs, and read back what landed.
// Event driven, so that many run at once in one event loop; one encoder
// failing touches no other. The whole conversation goes to a log file.
class TargetJob : public QObject
{
    Q_OBJECT
public:
    // How a job ended, as kyr7ctl --json names it.
    enum class State { Fetched, Retrieved, Unchanged, WouldChange, Saved, Verified, NotVerified, Refused, Failed };

    explicit TargetJob(const Target &target, QObject *parent = nullptr);

    const Target &target() const { return where; }
    // The conversation log goes to a session file in folder (none when empty).
    void setLogFolder(const QString &folder, const ConversationLog::Limits &limits);
    // A LAN connection attempt is given this long before it times out.
    void setConnectTimeout(int ms);
    // Opens the link and starts the retrieval, once no other kyr7ctl is
    // talking to the same device (it waits its turn, polling every DevicePollMs).
    void start();
    static constexpr int DevicePollMs = 200;
    // After retrieved(): leaves with "EXIT"; the job then finishes with this
    // result (an unanswered EXIT adds a note but does not change it).
    void finishWithExit(bool ok, const QString &outcome, State state);
    // After retrieved(): writes what plan gives of config to the encoder;
    // the job finishes once the encoder has taken "SAVE" and, when
    // verifyTimeoutMs is not negative, the settings were read back (a new
    // attempt to connect may start within verifyTimeoutMs). outcome says
    // what the save changes, after "saved; " or "saved and verified; ".
    void save(const clsKYR &config, const SavePlan &plan, const QString &outcome, int verifyTimeoutMs);
    // A line for the summary, under the target's outcome.
    void addNote(const QString &note) { extraNotes << note; }
    // Why the read-back will not be made, when the command decides so.
    void skipVerification(const QString &why);

    // The retrieved configuration (valid from retrieved() on).
    const clsKYR &configuration() const { return kyr; }

    bool busy() const { return phase != Phase::Waiting && phase != Phase::Done; }
    bool succeeded() const { return ok; }
    State state() const { return ending; }
    QString outcome() const { return result; }
    // The failure or refusal, without the log's name; empty when it succeeded.
    QString message() const { return failure; }
    QStringList notes() const { return extraNotes; }
    const Verification &verification() const { return check; }
    QString logPath() const { return logFile; }
    // What the job is doing, for a progress line.
    QString status() const;

    static QString StateName(State state);

signals:
    // The configuration is in and suits this program; the receiver calls
    // finishWithExit() or save().
    void retrieved();
    void progressed();
    void finished();

private:
    enum class Phase { Waiting, AwaitingDevice, Retrieving, Deciding, Exiting, Saving, Verifying, Done };

    void onRetrievalFinished();
    void onClosed();
    void onHalted();
    void onLinkFailed();
    void onMonitor(const QString &line);
    void onReadBack();
    void fail(const QString &reason, State state = State::Failed);
    void finish(bool success, const QString &text, State state);
    QString whyStuck() const;

    Target where;
    DeviceLock device;
    clsKYR kyr;
    QtStepTimer timer;
    QtStepTimer readBackTimer; // the read-back's conversation has a step timer of its own
    QtStepTimer pauseTimer;    // between read-back attempts
    ConsoleMessages messages;
    SystemClock clock;
    ConversationLog log;
    Conversation conv;
    ReadBack readBack;
    QString logFolder;
    ConversationLog::Limits logLimits;
    QString logFile;
    Phase phase = Phase::Waiting;
    bool ok = false;
    State ending = State::Failed;
    QString result;
    QString failure;
    QStringList extraNotes;
    QString lastLine;
    int percent = 0; // of the running conversation's steps
    // The monitor line of the event being handled: the conversation says why
    // a step fails in the same event that halts it.
    QString explanation;
    bool closingOk = false;
    QString closingOutcome;
    State closingState = State::Failed;
    // The save: what it wrote, and whether and how long to read it back.
    SavePlan savePlan;
    int verifyTimeout = -1;
    Verification check;
};
