#include "ReadBack.h"

#include "StepTimer.h"
#include "mParseSetup.h"

namespace {
const QString kFailed = QStringLiteral("Connection Has Failed");
}

ReadBack::ReadBack(StepTimer &stepTimer, StepTimer &pause, Messages &messages, QObject *parent)
    : QObject(parent), pauseTimer(pause), conv(unit, stepTimer, messages)
{
    connect(&conv, &Conversation::monitor, this, [this](const QString &line) {
        if (line != kFailed)
            lastLine = line;
    });
    connect(&conv, &Conversation::retrievalFinished, this, &ReadBack::onRetrieved);
    connect(&conv, &Conversation::linkFailed, this, &ReadBack::onLost);
    connect(&conv, &Conversation::halted, this, &ReadBack::onLost);
    connect(&conv, &Conversation::linkClosed, this, &ReadBack::onLost);
    connect(&conv, &Conversation::closingFinished, this, &ReadBack::done);
    connect(&pauseTimer, &StepTimer::timeout, this, [this] {
        pauseTimer.stop();
        if (phase == Phase::Pausing)
            tryConnect();
    });
}

void ReadBack::start(const ConnectionSettings &settings, const SavePlan &plan, const clsKYR &sent, int timeoutMs)
{
    connection = settings;
    written = plan;
    sentValues = sent;
    verification = Verification();
    deadline = QDeadlineTimer(qMax(0, timeoutMs));
    tries = 0;
    tryConnect();
}

void ReadBack::tryConnect()
{
    phase = Phase::Retrieving;
    unit = clsKYR();
    lastLine.clear();
    ++tries;
    emit attempting(tries);
    conv.OpenConnection(connection, Verification::Listings(written));
}

void ReadBack::onRetrieved()
{
    if (phase != Phase::Retrieving)
        return;
    bool parsed = true;
    ParseSetup(unit, conv.Listings(), [&](const QString &) { parsed = false; });
    if (parsed) {
        verification = Verification::Compare(written, sentValues, unit);
    } else {
        verification.result = Verification::Result::Failed;
        verification.message = QStringLiteral("the listings read back could not be read");
    }
    phase = Phase::Leaving;
    conv.BuildExitScript();
    conv.StartClosing();
}

void ReadBack::onLost()
{
    if (phase == Phase::Leaving) {
        // What was read back stands, whether or not "EXIT" was answered.
        done();
        return;
    }
    if (phase != Phase::Retrieving)
        return;
    conv.Disconnect();
    if (!deadline.hasExpired()) {
        phase = Phase::Pausing;
        pauseTimer.stop();
        pauseTimer.setInterval(RetryInterval);
        pauseTimer.start();
        return;
    }
    verification.result = Verification::Result::Failed;
    verification.message = QStringLiteral("the unit could not be read back (%1 %2): %3")
                               .arg(tries)
                               .arg(tries == 1 ? QStringLiteral("attempt") : QStringLiteral("attempts"),
                                    lastLine.isEmpty() ? QStringLiteral("no answer") : lastLine);
    done();
}

void ReadBack::done()
{
    if (phase == Phase::Idle)
        return;
    phase = Phase::Idle;
    pauseTimer.stop();
    conv.Disconnect();
    emit finished();
}
