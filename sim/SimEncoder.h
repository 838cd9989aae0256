#pragma once

#include "clsKYR.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

class SimStore;

// The encoder's text protocol, independent of the transport. Received bytes
// go in through feed(); every answer to one received line comes out as one
// reply() (the echo, answer lines and the prompt), so that the transport
// can pace, cut or drop whole replies.
class SimEncoder : public QObject
{
    Q_OBJECT
public:
    // Where a session starts: logged in at the command level (TCP), logged
    // out (serial line), or talking to the Hayes modem in front of it.
    enum class Start { Command, LoggedOut, Modem };
    enum class State { ModemCommand, Dialing, LoggedOut, Command, Setup, InSection };

    // Longest line kept; the rest of a longer line is discarded and the line answers "?".
    static constexpr int MaxLine = 4096;

    SimEncoder(SimStore &store, Start start, QObject *parent = nullptr);
    // The session ends: its unsaved changes are undone.
    ~SimEncoder() override;

    // Delay before "CONNECT 57600" answers a dial command.
    void setConnectDelay(int ms) { connectDelay = ms; }
    // Answer the first "*" of the session with this many bytes and no prompt (0: never).
    void setFlood(int bytes) { floodBytes = bytes; }

    void feed(const QByteArray &bytes);
    // The line dropped (modem carrier lost, serial session ended): back to where the session started.
    // Unsaved changes of the session are undone.
    void hangUp();
    // Ignore everything received from now on, until hangUp().
    void stop()
    {
        stopped = true;
        dialTimer.stop();
    }
    State state() const { return current; }

signals:
    void reply(const QByteArray &bytes);
    // One received line has been processed.
    void lineProcessed();
    // SAVE, DEFAULTS or EXIT has been answered: a real encoder restarts now.
    void restarting();

private:
    void processLine(const QString &line);
    QByteArray modemLine(const QString &line);
    QByteArray commandLine(const QString &line);
    QByteArray setupLine(const QString &line);
    QByteArray sectionLine(const QString &line);
    void dialed();

    SimStore &store;
    int session;
    Start start;
    State current;
    Section section = Section::Kyr;
    int slot = 0;
    QByteArray pending;
    bool overlong = false;
    int connectDelay = 500;
    int floodBytes = 0;
    bool flooded = false;
    bool stopped = false;
    QTimer dialTimer;
};
