#include "SimEncoder.h"

#include "SimStore.h"

namespace {
const QByteArray kCrLf("\r\n");

QByteArray latin1(const QString &text)
{
    return text.toLatin1();
}

QByteArray answer(const QString &line, const QByteArray &lines, char prompt)
{
    QByteArray out = latin1(line) + kCrLf + lines;
    if (prompt)
        out += prompt;
    return out;
}

bool isWord(const QString &line, const char *word)
{
    return line.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}
} // namespace

SimEncoder::SimEncoder(SimStore &s, Start st, QObject *parent)
    : QObject(parent), store(s), session(s.openSession()), start(st), current(State::Command), dialTimer(this)
{
    dialTimer.setSingleShot(true);
    connect(&dialTimer, &QTimer::timeout, this, &SimEncoder::dialed);
    hangUp();
}

SimEncoder::~SimEncoder()
{
    store.endSession(session);
}

void SimEncoder::hangUp()
{
    store.endSession(session);
    dialTimer.stop();
    stopped = false;
    pending.clear();
    overlong = false;
    current = start == Start::Modem       ? State::ModemCommand
              : start == Start::LoggedOut ? State::LoggedOut
                                          : State::Command;
}

void SimEncoder::feed(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (stopped)
            return;
        if (c == '\n')
            continue;
        if (c != '\r') {
            if (pending.size() < MaxLine)
                pending += c;
            else
                overlong = true;
            continue;
        }
        const QString line = QString::fromLatin1(pending);
        const bool tooLong = overlong;
        pending.clear();
        overlong = false;
        if (tooLong) {
            const char prompt = current == State::InSection ? '#' : current == State::Setup ? '>' : '!';
            emit reply(answer(line, "?\r\n", prompt));
            emit lineProcessed();
            continue;
        }
        processLine(line);
    }
}

void SimEncoder::processLine(const QString &line)
{
    QByteArray out;
    bool restart = false;
    switch (current) {
    case State::ModemCommand:
        out = modemLine(line);
        break;
    case State::Dialing:
        // A modem busy dialling takes no commands.
        out = latin1(line) + kCrLf;
        break;
    case State::LoggedOut:
        if (isWord(line, "login")) {
            current = State::Command;
            out = answer(line, {}, '!');
        } else {
            out = answer(line, {}, 0) + "login:";
        }
        break;
    case State::Command:
        out = commandLine(line);
        restart = isWord(line, "SAVE") || isWord(line, "DEFAULTS") || isWord(line, "EXIT");
        break;
    case State::Setup:
        out = setupLine(line);
        break;
    case State::InSection:
        out = sectionLine(line);
        break;
    }
    emit reply(out);
    emit lineProcessed();
    if (restart)
        emit restarting();
}

QByteArray SimEncoder::modemLine(const QString &line)
{
    if (line.isEmpty())
        return kCrLf;
    if (!line.startsWith(QLatin1String("AT"), Qt::CaseInsensitive))
        return answer(line, "ERROR\r\n", 0);
    // Hayes commands ignore spaces: "AT DT9," dials.
    const QString command = line.mid(2).trimmed();
    if (command.startsWith(u'D', Qt::CaseInsensitive)) {
        current = State::Dialing;
        dialTimer.start(connectDelay);
        return answer(line, {}, 0);
    }
    return answer(line, "OK\r\n", 0);
}

void SimEncoder::dialed()
{
    current = start == Start::Modem ? State::LoggedOut : State::Command;
    emit reply("CONNECT 57600\r\n");
}

QByteArray SimEncoder::commandLine(const QString &line)
{
    if (line.isEmpty() || isWord(line, "login"))
        return answer(line, {}, '!');
    if (isWord(line, "SETUP")) {
        current = State::Setup;
        return answer(line, {}, '>');
    }
    if (isWord(line, "SAVE")) {
        store.Save();
        return answer(line, {}, '!');
    }
    if (isWord(line, "DEFAULTS")) {
        store.Defaults();
        return answer(line, {}, '!');
    }
    if (isWord(line, "EXIT") || isWord(line, "RESTART")) {
        store.Revert();
        return answer(line, {}, '!');
    }
    return answer(line, "?\r\n", '!');
}

QByteArray SimEncoder::setupLine(const QString &line)
{
    if (line.isEmpty()) {
        current = State::Command;
        return answer(line, {}, '!');
    }
    if (isWord(line, "SETUP"))
        return answer(line, {}, '>');
    if (clsKYR::FindSection(line.toUpper(), section, slot)) {
        current = State::InSection;
        return answer(line, {}, '#');
    }
    return answer(line, "?\r\n", '>');
}

QByteArray SimEncoder::sectionLine(const QString &line)
{
    if (line.isEmpty()) {
        current = State::Setup;
        return answer(line, {}, '>');
    }
    if (line == QLatin1String("*")) {
        if (floodBytes > 0 && !flooded) {
            flooded = true;
            QByteArray flood;
            flood.reserve(floodBytes);
            const QByteArray filler = QByteArray(62, 'x') + kCrLf;
            while (flood.size() < floodBytes)
                flood += filler;
            flood.truncate(floodBytes);
            return answer(line, flood, 0);
        }
        // The listing without the model's leading line feed: name=value CR LF per row.
        return answer(line, latin1(store.working().GetParam(section, slot, line).mid(1)), '#');
    }
    if (store.set(session, section, slot, line) == QLatin1String("\n?\r\n"))
        return answer(line, "?\r\n", '#');
    return answer(line, {}, '#');
}
