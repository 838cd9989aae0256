#include "Verifier.h"

#include "ApplyPlan.h"
#include "ConversationLog.h"
#include "VerifyReport.h"

Verifier::Verifier(const AppServices &services, ConversationLog &conversationLog, QObject *parent)
    : QObject(parent), log(conversationLog),
      readBack(services.readBackTimer ? *services.readBackTimer : ownSteps,
               services.pauseTimer ? *services.pauseTimer : ownPause, *services.messages)
{
    readBack.conversation().TcpPort = services.tcpPort;
    if (services.linkFactory)
        readBack.conversation().setLinkFactory(services.linkFactory);
    connect(&readBack.conversation(), &Conversation::monitor, this, [this](const QString &line) {
        // The read-back leaves with "EXIT" like any closing conversation; its
        // own "Press Done" line would stand before what it found.
        if (line != QLatin1String("Setup is complete, Press Done to exit"))
            emit monitor(line);
    });
    connect(&readBack, &ReadBack::finished, this, &Verifier::onFinished);
}

void Verifier::saving(const SavePlan &plan, const clsKYR &values, const clsKYR &before,
                      const ConnectionSettings &settings)
{
    written = plan;
    sent = values;
    whyNot.clear();
    // As kyr7ctl's apply: a unit given another address is not where the
    // read-back would look for it.
    if (settings.Method == QLatin1String("LAN") && ApplyPlan::Moves(before, values))
        whyNot = QStringLiteral("The save moves the KYR7 from %1 to %2: it cannot be read back where it was, so "
                                "Verify is not offered")
                     .arg(before.sKYR(KyrRow::IpNum), values.sKYR(KyrRow::DHCP).toDouble() != 0
                                                          ? QStringLiteral("an address DHCP gives")
                                                          : values.sKYR(KyrRow::IpNum));
}

void Verifier::start(const ConnectionSettings &settings, int monitorRoom)
{
    if (!offered() || running())
        return;
    room = monitorRoom;
    log.note(QStringLiteral("Verify: reading back what the save wrote"));
    emit monitor(QStringLiteral("Verifying: reading back what the save wrote"));
    readBack.start(settings, written, sent, Timeout);
}

void Verifier::onFinished()
{
    const Verification &found = readBack.result();
    for (const QString &line : VerifyReport::LogLines(found))
        log.note(line);
    for (const QString &line : VerifyReport::MonitorLines(found, room, log.isOpen() ? log.path() : QString()))
        emit monitor(line);
    emit finished();
}
