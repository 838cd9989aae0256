#pragma once

#include "ConnectionSettings.h"
#include "SavePlan.h"
#include "ScriptStep.h"
#include "clsKYR.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class Link;
class Messages;
class StepTimer;

// The conversation with one encoder: the step table, the step timer, the
// reply handler and the scripts. It owns the link and reports through
// signals; it has no widgets.
class Conversation : public QObject
{
    Q_OBJECT
public:
    // Makes the link for a connection: LAN, SERIAL or MODEM. The default
    // makes the real TCP or serial link.
    using LinkFactory = std::function<std::unique_ptr<Link>(const ConnectionSettings &)>;

    Conversation(clsKYR &kyr, StepTimer &timer, Messages &messages, QObject *parent = nullptr);
    ~Conversation() override;

    // --- state, under the names the rest of the program uses
    std::vector<ScriptStep> Script; // grows as a script needs
    int CurrentStep = 0;            // -1 once a closing conversation has completed
    int SetupStep = 0;              // index of the "SETUP" step of a retrieval
    int Finishing = 0;              // 0 retrieving, 1 closing
    QString RxBuffer;               // received text not yet taken by a step
    int NextStep = 0;               // next free step while a save script is written

    // TCP port of the encoder (1080); tests point it elsewhere.
    quint16 TcpPort = 1080;
    void setLinkFactory(LinkFactory factory);

    // --- scripts
    // The steps that open a link before "SETUP": none on LAN; the pause and
    // the login on a serial line; the modem's commands, the dial, the pause
    // and the login on a modem.
    static std::vector<ScriptStep> OpeningSteps(const ConnectionSettings &settings);
    void BuildSetupScript(const ConnectionSettings &settings);
    // A retrieval of some sections only: listings holds positions in the
    // order of Listings() (0 "KYR", 1-2 the programs, 3-4 the caption
    // programs, 5-22 the streams). The sections are visited in that order as
    // the full retrieval visits them (the bridge streams with the same
    // compound commands); the listings of the others stay empty.
    void BuildSectionsScript(const ConnectionSettings &settings, const std::vector<int> &listings);
    // The save of the whole model ("Save and Exit").
    void BuildSaveScript();
    // A save of what plan gives, from the model's values: "SETUP", each
    // visit with its rows in the plan's order, the exit from setup mode and
    // "SAVE", with the steps the full save gives them.
    void BuildSaveScript(const SavePlan &plan);
    void BuildExitScript();
    void BuildDefaultsScript();
    void AddStep(const QString &command);
    void AddProgramSteps(int program);
    void AddCaptionSteps(int caption);
    void AddStreamSteps(int stream);

    // --- running
    // Builds the retrieval script, sets Finishing to 0 and opens the link of
    // the chosen kind, with its monitor lines.
    void OpenConnection(const ConnectionSettings &settings);
    // The same with a retrieval of some sections (BuildSectionsScript).
    void OpenConnection(const ConnectionSettings &settings, const std::vector<int> &listings);
    // Starts a closing conversation whose script was just written:
    // Finishing = 1, stale received text dropped, step 0 sent, timer started.
    // When the link has closed since the retrieval, it is opened again with
    // the same settings and the script starts with that link's opening steps.
    // On a serial or modem line that is still open, the script starts with
    // the session check: a CR, which a logged-in encoder answers with "!" at
    // once and one that has logged the session out with "login:"; then that
    // step logs in again before the script goes on.
    // (The caller empties the monitor, shows it and adds the first line
    // before calling this.)
    void StartClosing();
    void SendCommand(const QString &text);
    // Every piece of received text.
    void GetSetup(const QString &text);
    // Where prompt (letter case ignored) begins in received at or after
    // from, counting only where the encoder puts a prompt: at the start of
    // the received text or straight after a line end. A prompt character
    // inside a value ("FileName=cc#2.txt") is not one. -1 when none.
    static qsizetype FindPrompt(const QString &received, const QString &prompt, qsizetype from = 0);
    // The step timer's tick.
    void Timer1Tick();
    // Closes the link (shutdown).
    void Disconnect();
    bool linkOpen() const;

    // True during a closing conversation once its last command has been
    // sent (or the script has run through).
    bool FinalCommandSent() const;

    // Progress of the running conversation: the steps of its script (those
    // that send or wait; the gaps of the step table are not steps) and how
    // many of them are done. Counted when a conversation starts.
    int StepCount() const;
    int StepsDone() const { return stepsDone; }

    // The 23 listings of a completed retrieval, in section order (empty for
    // the sections a retrieval of some sections did not visit).
    QStringList Listings() const;

    // Bound on text kept while a step waits; more without the expected
    // text fails the step.
    static constexpr int MaxRxBuffer = 4 * 1024 * 1024;
    // A TCP connection attempt is given as long as the first step of a LAN
    // retrieval: three ticks of two seconds.
    static constexpr int ConnectInterval = 2000;
    static constexpr int ConnectTries = 3;
    // The interval of a connection attempt's ticks from now on (a caller
    // that wants a shorter or longer wait for an address that never answers).
    void setConnectInterval(int ms) { connectInterval = ms; }

signals:
    // A line for the monitor (without the time stamp).
    void monitor(const QString &message);
    // The retrieval script has run through ("Encoder Setup Retrieved" is
    // already on the monitor); the listings are ready.
    void retrievalFinished();
    // A closing script has run through ("Setup is complete, Press Done to
    // exit" is on the monitor, CurrentStep is -1).
    void closingFinished();
    // A step ran out of tries ("Connection Has Failed" is on the monitor).
    void halted();
    // The encoder closed the link: while retrieving, while the operator
    // edits ("The KYR7 closed the connection" is on the monitor; the next
    // closing conversation reconnects), or after the last command of a
    // closing conversation was sent. (Closed earlier during a closing
    // conversation, the step fails instead: "Connection Has Failed".)
    void linkClosed();
    // The link failed ("LAN Error: ...", "COM3 is not available" is on the
    // monitor), or did not open in time ("LAN Error: Connection timed out").
    void linkFailed();
    // A step of the running conversation is done, or a conversation starts
    // (done 0). done never decreases within a conversation and ends at total.
    void progress(int done, int total);
    // Every byte written to the link, and every byte received from it, as
    // they pass.
    void bytesSent(const QByteArray &bytes);
    void bytesReceived(const QByteArray &bytes);

private:
    void onConnected();
    void onLinkClosed();
    void onData(const QByteArray &bytes);
    void onLinkError(const QString &message);
    void openLink(const ConnectionSettings &settings);
    void connectTimedOut();
    void startCurrentStep(bool withStatus);
    void endOfScript();
    bool stepWaiting() const;
    void failStep();
    void startProgress();
    void stepDone();
    // The session check's reply says the encoder has logged the session out.
    bool loggedOut() const;
    void logInAgain();
    void writeStep(int index, const ScriptStep &step);
    void addClosingStep(const QString &command, const QString &expect, int interval, const QString &status = {});
    void addSectionVisit(const QString &section, const QString &status, const std::vector<QString> &commands);
    void addSectionRows(Section section, int slot, const QString &status, const std::vector<int> &rows);
    void writeRetrievalStart(const ConnectionSettings &settings);
    // The monitor line of a save's visit to a section ("Saving Program 1 Specific Data").
    QString savingText(Section section, int slot) const;
    QString parameterCommand(const QString &name, const QString &value) const;
    std::unique_ptr<Link> makeLink(const ConnectionSettings &settings) const;

    clsKYR &kyr;
    StepTimer &timer;
    Messages &messages;
    LinkFactory linkFactory;
    std::unique_ptr<Link> link;
    ConnectionSettings connection; // settings of the last link opened
    QString method;                // link kind of the open connection
    bool connecting = false;       // a TCP connection attempt is under way
    int connectTicks = 0;
    int connectInterval = ConnectInterval;
    // Where each section's listing lands in the step table; -1 for a section
    // a retrieval of some sections does not visit.
    std::vector<int> listingSteps;
    bool sectionsOnly = false;     // the running retrieval is BuildSectionsScript's
    bool overflowReported = false; // the current step already failed on a flood
    int sessionCheck = -1;         // the step of the session check, -1 when none
    int stepsDone = 0;
    int stepTotal = 0;
};
