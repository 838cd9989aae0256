#include "TargetJob.h"

#include "CheckVersion.h"
#include "mParseSetup.h"

#include <QTimer>

namespace {
const QString kFailed = QStringLiteral("Connection Has Failed");
}

TargetJob::TargetJob(const Target &target, QObject *parent)
    : QObject(parent), where(target), device(target.key()),
      messages([this](const QString &text) { extraNotes << ConsoleMessages::OneLine(text); }), log(clock),
      conv(kyr, timer, messages), readBack(readBackTimer, pauseTimer, messages)
{
    conv.TcpPort = where.port;
    readBack.conversation().TcpPort = where.port;
    log.follow(conv);
    log.follow(readBack.conversation());
    connect(&conv, &Conversation::monitor, this, &TargetJob::onMonitor);
    connect(&readBack.conversation(), &Conversation::monitor, this, &TargetJob::onMonitor);
    const auto progress = [this](int done, int total) {
        percent = total > 0 ? qBound(0, done * 100 / total, 100) : 0;
        emit progressed();
    };
    connect(&conv, &Conversation::progress, this, progress);
    connect(&readBack.conversation(), &Conversation::progress, this, progress);
    connect(&conv, &Conversation::retrievalFinished, this, &TargetJob::onRetrievalFinished);
    connect(&conv, &Conversation::closingFinished, this, &TargetJob::onClosed);
    connect(&conv, &Conversation::halted, this, &TargetJob::onHalted);
    connect(&conv, &Conversation::linkFailed, this, &TargetJob::onLinkFailed);
    connect(&conv, &Conversation::linkClosed, this, [this] {
        // Closed after the last command of a closing conversation: an encoder
        // restarting after "SAVE" or "EXIT". Closed while retrieving: nothing
        // more will come.
        if (phase == Phase::Retrieving)
            fail(QStringLiteral("the encoder closed the connection during the retrieval"));
        else if (phase == Phase::Exiting || phase == Phase::Saving)
            onClosed();
    });
    connect(&readBack, &ReadBack::finished, this, &TargetJob::onReadBack);
}

void TargetJob::setLogFolder(const QString &folder, const ConversationLog::Limits &limits)
{
    logFolder = folder;
    logLimits = limits;
}

void TargetJob::setConnectTimeout(int ms)
{
    const int interval = qMax(1, ms / Conversation::ConnectTries);
    conv.setConnectInterval(interval);
    readBack.conversation().setConnectInterval(interval);
}

void TargetJob::start()
{
    if (!device.tryTake()) {
        if (phase != Phase::AwaitingDevice) {
            phase = Phase::AwaitingDevice;
            lastLine = QStringLiteral("waiting for %1 to finish with this device").arg(device.holder());
            extraNotes << QStringLiteral("waited for %1 to finish with this device").arg(device.holder());
            emit progressed();
        }
        QTimer::singleShot(DevicePollMs, this, &TargetJob::start);
        return;
    }
    phase = Phase::Retrieving;
    lastLine = QStringLiteral("connecting");
    if (!logFolder.isEmpty()) {
        log.setLimits(logLimits);
        if (log.openSession(logFolder, QStringLiteral("kyr7ctl ") + where.text))
            logFile = log.path();
        else
            extraNotes << QStringLiteral("no conversation log: ") + log.errorText();
    }
    emit progressed();
    conv.OpenConnection(where.settings);
}

void TargetJob::onMonitor(const QString &line)
{
    if (phase == Phase::Done || line == kFailed)
        return;
    if (explanation.isEmpty())
        QMetaObject::invokeMethod(
            this, [this] { explanation.clear(); }, Qt::QueuedConnection);
    explanation = line;
    lastLine = line;
    emit progressed();
}

void TargetJob::onRetrievalFinished()
{
    if (phase != Phase::Retrieving)
        return;
    bool parsed = true;
    ParseSetup(kyr, conv.Listings(), [&](const QString &message) {
        extraNotes << message;
        parsed = false;
    });
    if (!parsed) {
        fail(QStringLiteral("the listings could not be read"));
        return;
    }
    const VersionVerdict verdict = JudgeVersion(kyr);
    if (verdict.outcome == VersionVerdict::Refused) {
        fail(QStringLiteral("refused: ") + verdict.title + QStringLiteral(": ") +
                 ConsoleMessages::OneLine(verdict.text),
             State::Refused);
        return;
    }
    if (verdict.outcome == VersionVerdict::Warning)
        extraNotes << verdict.title + QStringLiteral(": ") + ConsoleMessages::OneLine(verdict.text);
    phase = Phase::Deciding;
    lastLine = QStringLiteral("retrieved");
    emit progressed();
    emit retrieved();
}

void TargetJob::finishWithExit(bool success, const QString &text, State state)
{
    closingOk = success;
    closingOutcome = text;
    closingState = state;
    if (!success)
        failure = text;
    if (!conv.linkOpen()) {
        finish(success, text, state);
        return;
    }
    phase = Phase::Exiting;
    conv.BuildExitScript();
    conv.StartClosing();
}

void TargetJob::save(const clsKYR &config, const SavePlan &plan, const QString &text, int verifyTimeoutMs)
{
    closingOk = true;
    closingOutcome = text;
    closingState = State::Saved;
    kyr = config;
    savePlan = plan;
    verifyTimeout = verifyTimeoutMs;
    phase = Phase::Saving;
    conv.BuildSaveScript(plan);
    conv.StartClosing();
}

void TargetJob::skipVerification(const QString &why)
{
    verifyTimeout = -1;
    check = Verification();
    check.message = why;
}

void TargetJob::onClosed()
{
    if (phase == Phase::Exiting) {
        finish(closingOk, closingOutcome, closingState);
    } else if (phase == Phase::Saving && verifyTimeout < 0) {
        finish(true, QStringLiteral("saved; ") + closingOutcome, State::Saved);
    } else if (phase == Phase::Saving) {
        // The save's conversation is over, whether the unit closed the link
        // or answered "SAVE": what landed is read back on a link of its own.
        phase = Phase::Verifying;
        lastLine = QStringLiteral("reading back");
        conv.Disconnect();
        emit progressed();
        readBack.start(where.settings, savePlan, kyr, verifyTimeout);
    }
}

void TargetJob::onReadBack()
{
    if (phase != Phase::Verifying)
        return;
    check = readBack.result();
    if (check.result == Verification::Result::Verified) {
        finish(true, QStringLiteral("saved and verified; ") + closingOutcome, State::Verified);
        return;
    }
    for (const Verification::Mismatch &m : check.mismatches)
        extraNotes << QStringLiteral("not held: ") + Verification::Line(m);
    failure =
        check.result == Verification::Result::Mismatch
            ? QStringLiteral("%1 of the %2 settings sent are not held").arg(check.mismatches.size()).arg(check.checked)
            : check.message;
    finish(false, QStringLiteral("saved but not verified: ") + failure, State::NotVerified);
}

QString TargetJob::whyStuck() const
{
    QString why;
    if (!explanation.isEmpty())
        why = explanation + QStringLiteral("; ");
    if (conv.CurrentStep >= 0 && size_t(conv.CurrentStep) < conv.Script.size()) {
        const ScriptStep &step = conv.Script[size_t(conv.CurrentStep)];
        QString command = step.Command;
        command = command.replace(u'\r', u' ').simplified();
        why += QStringLiteral("no \"%1\" in answer to %2")
                   .arg(step.Expect, command.isEmpty() ? QStringLiteral("an empty line") : u'"' + command + u'"');
    }
    return why;
}

void TargetJob::onHalted()
{
    if (phase == Phase::Exiting) {
        extraNotes << QStringLiteral("EXIT was not answered");
        finish(closingOk, closingOutcome, closingState);
    } else if (phase == Phase::Saving) {
        fail(QStringLiteral("the save did not complete: ") + whyStuck());
    } else if (phase == Phase::Retrieving) {
        fail(kFailed + QStringLiteral(": ") + whyStuck());
    }
}

void TargetJob::onLinkFailed()
{
    // The conversation puts the link's own words on the monitor just before.
    const QString message = explanation;
    if (phase == Phase::Exiting) {
        extraNotes << message;
        finish(closingOk, closingOutcome, closingState);
    } else if (phase == Phase::Saving) {
        fail(QStringLiteral("the save did not complete: ") + message);
    } else if (phase == Phase::Retrieving) {
        fail(message);
    }
}

void TargetJob::fail(const QString &reason, State state)
{
    failure = reason;
    finish(false, reason, state);
}

void TargetJob::finish(bool success, const QString &text, State state)
{
    if (phase == Phase::Done)
        return;
    phase = Phase::Done;
    ok = success;
    ending = state;
    result = text;
    if (success)
        failure.clear();
    else if (!logFile.isEmpty())
        result += QStringLiteral(" (log: %1)").arg(logFile);
    conv.Disconnect();
    log.close();
    device.release();
    emit progressed();
    emit finished();
}

QString TargetJob::StateName(State state)
{
    switch (state) {
    case State::Fetched:
        return QStringLiteral("fetched");
    case State::Retrieved:
        return QStringLiteral("retrieved");
    case State::Unchanged:
        return QStringLiteral("unchanged");
    case State::WouldChange:
        return QStringLiteral("would_change");
    case State::Saved:
        return QStringLiteral("saved");
    case State::Verified:
        return QStringLiteral("verified");
    case State::NotVerified:
        return QStringLiteral("not_verified");
    case State::Refused:
        return QStringLiteral("refused");
    case State::Failed:
        break;
    }
    return QStringLiteral("failed");
}

QString TargetJob::status() const
{
    switch (phase) {
    case Phase::Waiting:
        return QStringLiteral("waiting");
    case Phase::Retrieving:
    case Phase::Saving:
    case Phase::Verifying:
        return QStringLiteral("%1% %2").arg(percent, 3).arg(lastLine);
    case Phase::AwaitingDevice:
    case Phase::Deciding:
    case Phase::Exiting:
        return lastLine;
    case Phase::Done:
        return (ok ? QString() : QStringLiteral("failed: ")) + result;
    }
    return {};
}
