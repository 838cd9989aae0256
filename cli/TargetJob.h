#pragma once

#include "ConsoleMessages.h"
#include "Conversation.h"
#include "StepTimer.h"
#include "Target.h"
#include "clsKYR.h"

#include <QObject>
#include <QString>
#include <QStringList>

// The work with one encoder: retrieve its configuration with the
// program's retrieval conversation and check its version; then, as the
// command decides, leave with "EXIT" or write a configuration with the
// save conversation that "Save and Exit" runs. Event driven, so that many
// run at once in one event loop; one encoder failing touches no other.
class TargetJob : public QObject
{
    Q_OBJECT
public:
    explicit TargetJob(const Target &target, QObject *parent = nullptr);

    const Target &target() const { return where; }
    // Opens the link and starts the retrieval.
    void start();
    // After retrieved(): leaves with "EXIT"; the job then finishes with this
    // result (an unanswered EXIT adds a note but does not change it).
    void finishWithExit(bool ok, const QString &outcome);
    // After retrieved(): saves config to the encoder; the job finishes with
    // this outcome once the encoder has taken "SAVE".
    void save(const clsKYR &config, const QString &outcome);

    // The retrieved configuration (valid from retrieved() on).
    const clsKYR &configuration() const { return kyr; }

    bool busy() const { return phase != Phase::Waiting && phase != Phase::Done; }
    bool succeeded() const { return ok; }
    QString outcome() const { return result; }
    QStringList notes() const { return extraNotes; }
    // What the job is doing, for a progress line.
    QString status() const;

signals:
    // The configuration is in and suits this program; the receiver calls
    // finishWithExit() or save().
    void retrieved();
    void progressed();
    void finished();

private:
    enum class Phase { Waiting, Retrieving, Deciding, Exiting, Saving, Done };

    void onRetrievalFinished();
    void onClosed();
    void onHalted();
    void onLinkFailed();
    void onMonitor(const QString &line);
    void fail(const QString &reason);
    void finish(bool success, const QString &text);
    QString whyStuck() const;

    Target where;
    clsKYR kyr;
    QtStepTimer timer;
    ConsoleMessages messages;
    Conversation conv;
    Phase phase = Phase::Waiting;
    bool ok = false;
    QString result;
    QStringList extraNotes;
    QString lastLine;
    int percent = 0; // of the running conversation's steps
    // The monitor line of the event being handled: the conversation says why
    // a step fails in the same event that halts it.
    QString explanation;
    bool closingOk = false;
    QString closingOutcome;
};
