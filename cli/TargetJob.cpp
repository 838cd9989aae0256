#include "TargetJob.h"

#include "CheckVersion.h"
#include "mParseSetup.h"

namespace {
const QString kFailed = QStringLiteral("Connection Has Failed");
}

TargetJob::TargetJob(const Target &target, QObject *parent)
    : QObject(parent), where(target),
      messages([this](const QString &text) { extraNotes << ConsoleMessages::OneLine(text); }),
      conv(kyr, timer, messages)
{
    conv.TcpPort = where.port;
    connect(&conv, &Conversation::monitor, this, &TargetJob::onMonitor);
    connect(&conv, &Conversation::progress, this, [this](int done, int total) {
        percent = total > 0 ? qBound(0, done * 100 / total, 100) : 0;
        emit progressed();
    });
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
}

void TargetJob::start()
{
    phase = Phase::Retrieving;
    lastLine = QStringLiteral("connecting");
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
             ConsoleMessages::OneLine(verdict.text));
        return;
    }
    if (verdict.outcome == VersionVerdict::Warning)
        extraNotes << verdict.title + QStringLiteral(": ") + ConsoleMessages::OneLine(verdict.text);
    phase = Phase::Deciding;
    lastLine = QStringLiteral("retrieved");
    emit progressed();
    emit retrieved();
}

void TargetJob::finishWithExit(bool success, const QString &text)
{
    closingOk = success;
    closingOutcome = text;
    if (!conv.linkOpen()) {
        finish(success, text);
        return;
    }
    phase = Phase::Exiting;
    conv.BuildExitScript();
    conv.StartClosing();
}

void TargetJob::save(const clsKYR &config, const QString &text)
{
    closingOk = true;
    closingOutcome = text;
    kyr = config;
    phase = Phase::Saving;
    conv.BuildSaveScript();
    conv.StartClosing();
}

void TargetJob::onClosed()
{
    if (phase == Phase::Exiting || phase == Phase::Saving)
        finish(closingOk, closingOutcome);
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
        finish(closingOk, closingOutcome);
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
        finish(closingOk, closingOutcome);
    } else if (phase == Phase::Saving) {
        fail(QStringLiteral("the save did not complete: ") + message);
    } else if (phase == Phase::Retrieving) {
        fail(message);
    }
}

void TargetJob::fail(const QString &reason)
{
    finish(false, reason);
}

void TargetJob::finish(bool success, const QString &text)
{
    if (phase == Phase::Done)
        return;
    phase = Phase::Done;
    ok = success;
    result = text;
    conv.Disconnect();
    emit progressed();
    emit finished();
}

QString TargetJob::status() const
{
    switch (phase) {
    case Phase::Waiting:
        return QStringLiteral("waiting");
    case Phase::Retrieving:
    case Phase::Saving:
        return QStringLiteral("%1% %2").arg(percent, 3).arg(lastLine);
    case Phase::Deciding:
    case Phase::Exiting:
        return lastLine;
    case Phase::Done:
        return (ok ? QString() : QStringLiteral("failed: ")) + result;
    }
    return {};
}
