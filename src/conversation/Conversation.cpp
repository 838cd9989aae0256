#include "Conversation.h"

#include "Link.h"
#include "Messages.h"
#include "SaveRows.h"
#include "SerialLink.h"
#include "StepTimer.h"
#include "TcpLink.h"
#include "clsKYR.h"

#include <algorithm>
#include <exception>

namespace {
const QString CR = QStringLiteral("\r");
const QString Pause = QStringLiteral("|");
const QString BoxTitle = QStringLiteral("KYR7 Setup Program");

QString withoutLineBreaks(QString text)
{
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

ScriptStep makeStep(const QString &command, const QString &expect, int interval, int maxTries,
                    const QString &status = {})
{
    ScriptStep step;
    step.Command = command;
    step.Expect = expect;
    step.Interval = interval;
    step.MaxTries = qint16(maxTries);
    step.Status = status;
    return step;
}

// Logging in on a serial line: the encoder answers "!" at the command level.
ScriptStep loginStep()
{
    return makeStep(CR + QStringLiteral("login") + CR, QStringLiteral("!"), 5000, 1);
}

// Whether a line's session is still logged in: an empty line, which the
// command level answers with "!" and a logged-out encoder with "login:".
ScriptStep sessionCheckStep()
{
    return makeStep(CR, QStringLiteral("!"), 2000, 2);
}

QString fetchingText(int section)
{
    if (section == 0)
        return QStringLiteral("Fetching KYR specific data");
    static const char *const ports[] = {"Port A", "Port B", "Port C"};
    const int stream = section - 5;
    if (stream >= 0 && stream < 3)
        return QStringLiteral("Fetching %1 Specific Settings").arg(QLatin1String(ports[stream]));
    return QStringLiteral("Fetching %1 Specific Settings")
        .arg(section <= 2   ? clsKYR::ProgramText(section - 1)
             : section <= 4 ? clsKYR::CaptionText(section - 3)
                            : clsKYR::StreamText(stream));
}

QString sectionName(int section)
{
    if (section == 0)
        return clsKYR::CMD(5);
    if (section <= 2)
        return clsKYR::ProgramText(section - 1);
    if (section <= 4)
        return clsKYR::CaptionText(section - 3);
    return clsKYR::StreamText(section - 5);
}
} // namespace

Conversation::Conversation(clsKYR &kyr, StepTimer &timer, Messages &messages, QObject *parent)
    : QObject(parent), kyr(kyr), timer(timer), messages(messages)
{
    connect(&timer, &StepTimer::timeout, this, &Conversation::Timer1Tick);
}

Conversation::~Conversation()
{
    if (link)
        link->disconnect(this);
}

void Conversation::setLinkFactory(LinkFactory factory)
{
    linkFactory = std::move(factory);
}

std::unique_ptr<Link> Conversation::makeLink(const ConnectionSettings &settings) const
{
    if (linkFactory)
        return linkFactory(settings);
    if (settings.Method == QLatin1String("LAN"))
        return std::make_unique<TcpLink>(TcpLink::HostFor(settings.IP), TcpPort);
    const bool modem = settings.Method == QLatin1String("MODEM");
    const QString name = modem ? settings.Modem : settings.Serial;
    return std::make_unique<SerialLink>(SerialLink::DeviceFor(name), SerialLink::DisplayName(name),
                                        modem ? 57600 : 9600);
}

// ---------------------------------------------------------------- scripts

void Conversation::writeStep(int index, const ScriptStep &step)
{
    if (index < 0)
        return;
    if (size_t(index) >= Script.size())
        Script.resize(size_t(index) + 1);
    Script[size_t(index)] = step;
}

std::vector<ScriptStep> Conversation::OpeningSteps(const ConnectionSettings &settings)
{
    std::vector<ScriptStep> steps;
    if (settings.Method == QLatin1String("SERIAL")) {
        steps.push_back(makeStep(Pause, {}, 2000, 1));
        steps.push_back(loginStep());
    } else if (settings.Method == QLatin1String("MODEM")) {
        steps.push_back(makeStep(QStringLiteral("AT") + CR, QStringLiteral("OK"), 2000, 10));
        // Every initialisation command is sent, however many there are.
        for (const QString &command : settings.INIT.split(QLatin1Char('|')))
            steps.push_back(makeStep(withoutLineBreaks(command) + CR, QStringLiteral("OK"), 5000, 3));
        steps.push_back(makeStep(withoutLineBreaks(settings.DIAL + settings.Number) + CR, QStringLiteral("CONNECT"),
                                 60000, 1, QStringLiteral("Dialing")));
        steps.push_back(makeStep(Pause, {}, 2000, 1));
        steps.push_back(loginStep());
    }
    return steps;
}

void Conversation::writeRetrievalStart(const ConnectionSettings &settings)
{
    Script = OpeningSteps(settings);
    SetupStep = int(Script.size());
    writeStep(SetupStep, makeStep(clsKYR::CMD(0) + CR, QStringLiteral(">"), 2000, 3));
    listingSteps.assign(size_t(clsKYR::SectionCount), -1);
}

void Conversation::BuildSetupScript(const ConnectionSettings &settings)
{
    writeRetrievalStart(settings);
    sectionsOnly = false;
    const int b = SetupStep;
    for (int i = 0; i <= 20; ++i) {
        writeStep(b + 1 + 3 * i, makeStep(sectionName(i) + CR, QStringLiteral("#"), 2000, 2));
        writeStep(b + 2 + 3 * i, makeStep(QStringLiteral("*") + CR, QStringLiteral("#"), 5000, 2, fetchingText(i)));
        writeStep(b + 3 + 3 * i, makeStep(CR, QStringLiteral(">"), 2000, 2));
    }
    const QString in = clsKYR::StreamText(StreamSlot::INBRIDGE1);
    const QString out = clsKYR::StreamText(StreamSlot::OUTBRIDGE1);
    writeStep(b + 65, makeStep(in + CR + QStringLiteral("*") + CR + CR + CR, QStringLiteral("!"), 5000, 2,
                               QStringLiteral("Fetching INBRIDGE1 Specific Settings")));
    writeStep(b + 68, makeStep(QStringLiteral("Setup") + CR + out + CR + QStringLiteral("*") + CR + CR + CR,
                               QStringLiteral("!"), 5000, 2, QStringLiteral("Fetching OUTBRIDGE1 Specific Settings")));
    writeStep(b + 70, makeStep(CR, QStringLiteral("!"), 2000, 2, QStringLiteral("Closing Setup Conversation")));
    writeStep(b + 71, ScriptStep{});
    for (int k = 0; k < clsKYR::SectionCount; ++k)
        listingSteps[size_t(k)] = b + 2 + 3 * k;
    CurrentStep = 0;
}

void Conversation::BuildSectionsScript(const ConnectionSettings &settings, const std::vector<int> &listings)
{
    writeRetrievalStart(settings);
    sectionsOnly = true;
    std::vector<bool> wanted(size_t(clsKYR::SectionCount), false);
    for (int k : listings) {
        if (k >= 0 && k < clsKYR::SectionCount)
            wanted[size_t(k)] = true;
    }
    int next = SetupStep + 1;
    for (int i = 0; i <= 20; ++i) {
        if (!wanted[size_t(i)])
            continue;
        writeStep(next++, makeStep(sectionName(i) + CR, QStringLiteral("#"), 2000, 2));
        listingSteps[size_t(i)] = next;
        writeStep(next++, makeStep(QStringLiteral("*") + CR, QStringLiteral("#"), 5000, 2, fetchingText(i)));
        writeStep(next++, makeStep(CR, QStringLiteral(">"), 2000, 2));
    }
    // The bridge streams as the full retrieval visits them: each visit ends
    // at the command prompt, the second one enters setup mode again first.
    const int in = 5 + StreamSlot::INBRIDGE1, out = 5 + StreamSlot::OUTBRIDGE1;
    if (wanted[size_t(in)]) {
        listingSteps[size_t(in)] = next;
        writeStep(next++,
                  makeStep(clsKYR::StreamText(StreamSlot::INBRIDGE1) + CR + QStringLiteral("*") + CR + CR + CR,
                           QStringLiteral("!"), 5000, 2, QStringLiteral("Fetching INBRIDGE1 Specific Settings")));
    }
    if (wanted[size_t(out)]) {
        listingSteps[size_t(out)] = next;
        writeStep(next++,
                  makeStep(QStringLiteral("Setup") + CR + clsKYR::StreamText(StreamSlot::OUTBRIDGE1) + CR +
                               QStringLiteral("*") + CR + CR + CR,
                           QStringLiteral("!"), 5000, 2, QStringLiteral("Fetching OUTBRIDGE1 Specific Settings")));
    }
    writeStep(next++, makeStep(CR, QStringLiteral("!"), 2000, 2, QStringLiteral("Closing Setup Conversation")));
    writeStep(next, ScriptStep{});
    CurrentStep = 0;
}

QString Conversation::parameterCommand(const QString &name, const QString &value) const
{
    // A value never carries a line break onto the wire: one command stays one line.
    return name + QLatin1Char('=') + withoutLineBreaks(value) + CR;
}

void Conversation::AddStep(const QString &command)
{
    writeStep(NextStep, makeStep(command, QStringLiteral("#"), 1000, 2));
    ++NextStep;
}

void Conversation::addClosingStep(const QString &command, const QString &expect, int interval, const QString &status)
{
    writeStep(NextStep, makeStep(command, expect, interval, 2, status));
    ++NextStep;
}

void Conversation::addSectionVisit(const QString &section, const QString &status, const std::vector<QString> &commands)
{
    AddStep(section + CR);
    Script[size_t(NextStep - 1)].Status = status;
    for (const QString &command : commands)
        AddStep(command);
    addClosingStep(CR, QStringLiteral(">"), 200);
}

void Conversation::addSectionRows(Section section, int slot, const QString &status, const std::vector<int> &rows)
{
    std::vector<QString> commands;
    for (int row : rows)
        commands.push_back(
            parameterCommand(clsKYR::Definitions(section)[size_t(row)].Name, kyr.text(section, slot, row)));
    addSectionVisit(clsKYR::SectionName(section, slot), status, commands);
}

QString Conversation::savingText(Section section, int slot) const
{
    switch (section) {
    case Section::Pgm:
        return QStringLiteral("Saving Program %1 Specific Data").arg(slot + 1);
    case Section::Cap:
        return QStringLiteral("Saving Program %1 Caption Data").arg(slot + 1);
    case Section::Str:
        return QStringLiteral("Saving ") + kyr.Stream2Name(slot) + QStringLiteral(" Specific Data");
    case Section::Kyr:
        break;
    }
    return {};
}

void Conversation::AddProgramSteps(int program)
{
    addSectionRows(Section::Pgm, program, savingText(Section::Pgm, program), SaveRows(kyr, Section::Pgm, program));
}

void Conversation::AddCaptionSteps(int caption)
{
    addSectionRows(Section::Cap, caption, savingText(Section::Cap, caption), SaveRows(kyr, Section::Cap, caption));
}

void Conversation::AddStreamSteps(int stream)
{
    addSectionRows(Section::Str, stream, savingText(Section::Str, stream), SaveRows(kyr, Section::Str, stream));
}

void Conversation::BuildSaveScript()
{
    BuildSaveScript(FullSavePlan(kyr));
}

void Conversation::BuildSaveScript(const SavePlan &plan)
{
    Script.clear();
    NextStep = 0;
    addClosingStep(clsKYR::CMD(0) + CR, QStringLiteral(">"), 200);
    for (const SaveVisit &visit : plan) {
        if (visit.section != Section::Kyr) {
            addSectionRows(visit.section, visit.slot, savingText(visit.section, visit.slot), visit.rows);
            continue;
        }
        // The encoder section is visited with the short waits of the first
        // steps, and says nothing on the monitor.
        addClosingStep(clsKYR::CMD(5) + CR, QStringLiteral("#"), 200);
        for (int row : visit.rows)
            addClosingStep(parameterCommand(kyr.pKYR(row), kyr.sKYR(row)), QStringLiteral("#"), 200);
        addClosingStep(CR, QStringLiteral(">"), 200);
    }
    addClosingStep(CR, QStringLiteral("!"), 200);
    addClosingStep(clsKYR::CMD(2) + CR, QStringLiteral("!"), 8000, QStringLiteral("KYR7 is Saving Parameters"));
    writeStep(NextStep, ScriptStep{});
    CurrentStep = 0;
}

void Conversation::BuildExitScript()
{
    Script.clear();
    writeStep(0, makeStep(clsKYR::CMD(4) + CR, QStringLiteral("!"), 5000, 2));
    writeStep(1, ScriptStep{});
    CurrentStep = 0;
}

void Conversation::BuildDefaultsScript()
{
    Script.clear();
    writeStep(0, makeStep(clsKYR::CMD(3) + CR, QStringLiteral("!"), 5000, 2));
    writeStep(1, ScriptStep{});
    CurrentStep = 0;
}

QStringList Conversation::Listings() const
{
    QStringList listings;
    for (int k = 0; k < clsKYR::SectionCount; ++k) {
        const qsizetype at = listingSteps.empty()              ? qsizetype(SetupStep) + 2 + 3 * k
                             : size_t(k) < listingSteps.size() ? listingSteps[size_t(k)]
                                                               : -1;
        listings.append(at >= 0 && size_t(at) < Script.size() ? Script[size_t(at)].Reply : QString());
    }
    return listings;
}

// ---------------------------------------------------------------- the link

void Conversation::OpenConnection(const ConnectionSettings &settings)
{
    BuildSetupScript(settings);
    Finishing = 0;
    sessionCheck = -1;
    openLink(settings);
}

void Conversation::OpenConnection(const ConnectionSettings &settings, const std::vector<int> &listings)
{
    BuildSectionsScript(settings, listings);
    Finishing = 0;
    sessionCheck = -1;
    openLink(settings);
}

void Conversation::openLink(const ConnectionSettings &settings)
{
    RxBuffer.clear();
    overflowReported = false;
    Disconnect();
    connection = settings;
    method = settings.Method;

    const bool lan = method == QLatin1String("LAN");
    const bool serial = method == QLatin1String("SERIAL");
    const bool modem = method == QLatin1String("MODEM");
    if (!lan && !serial && !modem) {
        emit monitor(QStringLiteral("Connection Type ") + method + QStringLiteral(" is not known"));
        return;
    }
    emit monitor(lan      ? QStringLiteral("Connection Type is LAN")
                 : serial ? QStringLiteral("Connection Type is Serial")
                          : QStringLiteral("Connection Type is Modem"));

    link = makeLink(settings);
    if (!link)
        return;
    connect(link.get(), &Link::connected, this, &Conversation::onConnected);
    connect(link.get(), &Link::dataReceived, this, &Conversation::onData);
    connect(link.get(), &Link::errorOccurred, this, &Conversation::onLinkError);
    connect(link.get(), &Link::closed, this, &Conversation::onLinkClosed);
    startProgress();
    if (lan) {
        // An address that drops every packet would leave the attempt to the
        // kernel's retries for minutes; the step timer bounds it instead.
        connectTicks = 0;
        connecting = true;
        timer.stop();
        timer.setInterval(connectInterval);
        timer.start();
    }
    link->open();
    if (lan || !link->isOpen())
        return;

    const QString name = SerialLink::DisplayName(modem ? settings.Modem : settings.Serial);
    emit monitor((modem ? QStringLiteral("Modem port open ") : QStringLiteral("Serial port open ")) + name);
    RxBuffer.clear();
    CurrentStep = 0;
    startCurrentStep(false);
}

void Conversation::onConnected()
{
    if (method != QLatin1String("LAN"))
        return;
    connecting = false;
    timer.stop();
    emit monitor(QStringLiteral("LAN Connection Established"));
    if (stepWaiting())
        startCurrentStep(false);
}

void Conversation::onLinkError(const QString &message)
{
    if (connecting) {
        connecting = false;
        timer.stop();
    }
    emit monitor(message);
    if (method == QLatin1String("LAN") && link)
        link->close();
    emit linkFailed();
}

void Conversation::connectTimedOut()
{
    connecting = false;
    timer.stop();
    if (link)
        link->close();
    // Worded as the socket layer words a refused connection, and ended as
    // a failed link ends: nothing more will come of this attempt.
    emit monitor(QStringLiteral("LAN Error: Connection timed out"));
    emit linkFailed();
}

void Conversation::onData(const QByteArray &bytes)
{
    emit bytesReceived(bytes);
    GetSetup(QString::fromLatin1(bytes));
}

void Conversation::SendCommand(const QString &text)
{
    if (!link)
        return;
    const QByteArray bytes = text.toLatin1();
    const bool open = link->isOpen();
    link->send(bytes);
    if (open)
        emit bytesSent(bytes);
}

void Conversation::Disconnect()
{
    timer.stop();
    if (link)
        link->close();
}

bool Conversation::linkOpen() const
{
    return link && link->isOpen();
}

// ---------------------------------------------------------------- running

bool Conversation::FinalCommandSent() const
{
    if (Finishing != 1)
        return false;
    if (CurrentStep == -1)
        return true;
    const size_t next = size_t(CurrentStep) + 1;
    return stepWaiting() && (next >= Script.size() || Script[next].Command.isEmpty());
}

void Conversation::onLinkClosed()
{
    // An encoder closes the connection when it restarts after its last
    // command ("SAVE", "EXIT", "DEFAULTS"). Closed any earlier, the closing
    // conversation did not get through: that is a failure, not the end.
    if (Finishing == 1 && !FinalCommandSent()) {
        timer.stop();
        emit monitor(QStringLiteral("The KYR7 closed the connection before the setup was complete"));
        failStep();
        return;
    }
    // While the operator edits: a closing conversation will reconnect first.
    if (Finishing == 0 && !stepWaiting())
        emit monitor(QStringLiteral("The KYR7 closed the connection"));
    emit linkClosed();
}

bool Conversation::stepWaiting() const
{
    return CurrentStep >= 0 && size_t(CurrentStep) < Script.size() && !Script[size_t(CurrentStep)].Command.isEmpty();
}

void Conversation::startCurrentStep(bool withStatus)
{
    const ScriptStep step = Script[size_t(CurrentStep)];
    overflowReported = false;
    // The timer runs before the command goes out: a send that makes the link
    // fail halts the conversation, and that stops the timer for good.
    timer.stop();
    timer.setInterval(step.Interval);
    timer.start();
    if (withStatus && !step.Status.isEmpty())
        emit monitor(step.Status);
    if (step.Command != Pause)
        SendCommand(step.Command);
}

void Conversation::StartClosing()
{
    Finishing = 1;
    // Whatever came in before this conversation belongs to no step of it.
    RxBuffer.clear();
    sessionCheck = -1;
    if (!stepWaiting())
        CurrentStep = 0;
    if (!linkOpen() && !method.isEmpty()) {
        // The link went while the operator was editing: open it again with
        // the same settings, log in as at the start, then run the script.
        emit monitor(QStringLiteral("The connection to the KYR7 was closed, reconnecting"));
        const std::vector<ScriptStep> opening = OpeningSteps(connection);
        Script.insert(Script.begin(), opening.begin(), opening.end());
        CurrentStep = 0;
        openLink(connection);
        return;
    }
    if (method == QLatin1String("SERIAL") || method == QLatin1String("MODEM")) {
        // The line stayed open, but the encoder may have logged the session
        // out after a quiet spell: the script would then meet "login:".
        Script.insert(Script.begin(), sessionCheckStep());
        CurrentStep = 0;
        sessionCheck = 0;
    }
    startProgress();
    if (stepWaiting())
        startCurrentStep(false);
}

bool Conversation::loggedOut() const
{
    // Wherever it stands: after the echo, on a line of its own or not.
    return RxBuffer.contains(QStringLiteral("login:"), Qt::CaseInsensitive);
}

void Conversation::logInAgain()
{
    // The session check becomes the login: one step of the script either way.
    sessionCheck = -1;
    RxBuffer.clear();
    emit monitor(QStringLiteral("The KYR7 had logged the session out, logging in again"));
    Script[size_t(CurrentStep)] = loginStep();
    startCurrentStep(false);
}

void Conversation::failStep()
{
    emit monitor(QStringLiteral("Connection Has Failed"));
    timer.stop();
    timer.setInterval(0);
    emit halted();
}

int Conversation::StepCount() const
{
    return int(std::count_if(Script.begin(), Script.end(), [](const ScriptStep &s) { return !s.Command.isEmpty(); }));
}

void Conversation::startProgress()
{
    stepsDone = 0;
    stepTotal = StepCount();
    emit progress(stepsDone, stepTotal);
}

void Conversation::stepDone()
{
    if (stepsDone < stepTotal)
        ++stepsDone;
    emit progress(stepsDone, stepTotal);
}

void Conversation::endOfScript()
{
    if (Finishing == 1) {
        CurrentStep = -1;
        emit monitor(QStringLiteral("Setup is complete, Press Done to exit"));
        emit closingFinished();
        return;
    }
    emit monitor(QStringLiteral("Encoder Setup Retrieved"));
    emit retrievalFinished();
}

qsizetype Conversation::FindPrompt(const QString &received, const QString &prompt, qsizetype from)
{
    for (qsizetype at = received.indexOf(prompt, from, Qt::CaseInsensitive); at >= 0;
         at = received.indexOf(prompt, at + 1, Qt::CaseInsensitive)) {
        if (at == 0 || received.at(at - 1) == QLatin1Char('\n'))
            return at;
    }
    return -1;
}

void Conversation::GetSetup(const QString &text)
{
    try {
        if (CurrentStep == -1)
            return;
        // Text that no step waits for is dropped, so it can never answer a
        // later conversation; only a modem's lost carrier is looked for.
        if (!stepWaiting()) {
            RxBuffer = (RxBuffer + text).right(64);
            if (Finishing == 0 && method == QLatin1String("MODEM") &&
                FindPrompt(RxBuffer, QStringLiteral("NO CARRIER")) >= 0) {
                RxBuffer.clear();
                if (link)
                    link->close(); // reopened, and dialled again, by the next closing conversation
                emit monitor(QStringLiteral("The KYR7 closed the connection"));
            }
            return;
        }
        ScriptStep &step = Script[size_t(CurrentStep)];
        // A prompt that straddles two pieces, or whose line end came in the
        // previous piece, is found all the same.
        const qsizetype searchFrom = qMax<qsizetype>(0, RxBuffer.size() - step.Expect.size() + 1);
        RxBuffer += text;
        if (step.Command == Pause || step.Expect.isEmpty()) {
            if (RxBuffer.size() > MaxRxBuffer)
                RxBuffer.clear();
            return;
        }
        if (CurrentStep == sessionCheck && loggedOut()) {
            logInAgain();
            return;
        }
        if (FindPrompt(RxBuffer, step.Expect, searchFrom) < 0) {
            if (RxBuffer.size() > MaxRxBuffer) {
                RxBuffer.clear();
                if (!overflowReported) {
                    overflowReported = true;
                    emit monitor(QStringLiteral("Too much text without a prompt"));
                    failStep();
                }
            }
            return;
        }

        timer.stop();
        step.Reply = RxBuffer;
        RxBuffer.clear();
        stepDone();

        const int d = sectionsOnly ? -1 : CurrentStep - SetupStep;
        if (Finishing == 0 && d == 63)
            CurrentStep = SetupStep + 65;
        else if (Finishing == 0 && d == 65)
            CurrentStep = SetupStep + 68;
        else if (Finishing == 0 && d == 68)
            CurrentStep = SetupStep + 70;
        else
            CurrentStep += 1;

        if (stepWaiting())
            startCurrentStep(true);
        else
            endOfScript();
    } catch (const std::exception &) {
        messages.inform(BoxTitle, QStringLiteral("Error in GetSetup, press OK to continue"));
    }
}

void Conversation::Timer1Tick()
{
    try {
        if (connecting) {
            if (++connectTicks >= ConnectTries)
                connectTimedOut();
            return;
        }
        if (!stepWaiting()) {
            timer.stop();
            return;
        }
        QString toSend;
        ScriptStep &step = Script[size_t(CurrentStep)];
        step.Tries += 1;
        if (step.Tries < step.MaxTries) {
            toSend = step.Command;
            timer.stop();
            timer.setInterval(step.Interval);
        } else if (!step.Expect.isEmpty()) {
            failStep();
        } else {
            CurrentStep += 1;
            timer.stop();
            RxBuffer.clear();
            stepDone();
            if (!stepWaiting()) {
                endOfScript();
                return;
            }
            const ScriptStep &next = Script[size_t(CurrentStep)];
            toSend = next.Command;
            timer.setInterval(next.Interval);
            overflowReported = false;
        }
        if (!toSend.isEmpty()) {
            timer.start();
            if (toSend != Pause)
                SendCommand(toSend);
        }
    } catch (const std::exception &) {
        messages.inform(BoxTitle, QStringLiteral("Timer1 Error, Press OK to continue"));
    }
}
