#pragma once

#include "Conversation.h"
#include "ManualStepTimer.h"
#include "MemoryLink.h"
#include "ScriptedMessages.h"
#include "clsKYR.h"

#include <QSignalSpy>
#include <QStringList>

// A conversation wired to an in-memory link, a hand-ticked step timer and
// scripted message boxes; records the monitor lines.
struct ConversationRig
{
    clsKYR kyr;
    ManualStepTimer timer;
    ScriptedMessages messages;
    Conversation conv{kyr, timer, messages};
    MemoryLink *link = nullptr; // owned by the conversation once made
    QStringList monitor;
    QList<ConnectionSettings> linksMade;
    bool connectOnOpen = true;
    QSignalSpy retrieved{&conv, &Conversation::retrievalFinished};
    QSignalSpy closing{&conv, &Conversation::closingFinished};
    QSignalSpy halted{&conv, &Conversation::halted};
    QSignalSpy linkClosed{&conv, &Conversation::linkClosed};

    ConversationRig()
    {
        QObject::connect(&conv, &Conversation::monitor, &conv, [this](const QString &line) { monitor << line; });
        conv.setLinkFactory([this](const ConnectionSettings &settings) {
            auto made = std::make_unique<MemoryLink>();
            made->connectOnOpen = connectOnOpen;
            link = made.get();
            linksMade << settings;
            return std::unique_ptr<Link>(std::move(made));
        });
    }

    static ConnectionSettings settings(const QString &method)
    {
        ConnectionSettings s;
        s.Method = method;
        return s;
    }

    const ScriptStep &step() const { return conv.Script.at(size_t(conv.CurrentStep)); }

    // Answers the current step as an encoder would: with its expected
    // prompt, after an echo; a listing step gets a listing that names its
    // section. Stops at a pause step, at the end of the script or after
    // `limit` answers.
    int answerAll(int limit = 100000)
    {
        int answers = 0;
        while (answers < limit && conv.CurrentStep >= 0 && size_t(conv.CurrentStep) < conv.Script.size()) {
            const ScriptStep &s = step();
            if (s.Command.isEmpty() || s.Command == QLatin1String("|"))
                break;
            link->receive(replyFor(s));
            ++answers;
        }
        return answers;
    }

    static QByteArray replyFor(const ScriptStep &s)
    {
        QByteArray reply = s.Command.toLatin1();
        reply.replace('\r', "\r\n");
        if (!s.Status.isEmpty())
            reply += "Listed=" + s.Status.toLatin1() + "\r\n";
        return reply + s.Expect.toLatin1();
    }
};
