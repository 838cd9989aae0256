#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTime>

class Clock;
class Conversation;

// The whole conversation with the encoder, written to a file as it passes:
// every byte sent ("TX") and received ("RX"), each line stamped with the
// time to the millisecond. Control characters, the backslash and bytes
// outside printable ASCII are shown as escapes (\r, \n, \t, \\, \xNN), so
// that the bytes can be read back exactly. A new line starts after every
// line feed, when the direction changes, and after a second of silence.
//
// A session gets a file of its own in the log folder; only the most recent
// sessions are kept, within a number of files and a total size, and the
// session just ended always. One session stops at the size limit with a
// notice that fits within it (a limit too small for the first line and the
// notice still gets both). A file the operator names instead gets the
// session appended. Lines of the program's own (notes) start with "#"
// after the time stamp.
class ConversationLog : public QObject
{
    Q_OBJECT
public:
    struct Limits
    {
        int sessions = 20;                 // session files kept, this one included
        qint64 bytes = 20LL * 1024 * 1024; // all of them together; one session at most
    };

    explicit ConversationLog(const Clock &clock, QObject *parent = nullptr);
    ~ConversationLog() override { close(); }

    // Starts a session file in folder (made if missing). The oldest session
    // files beyond the limits are removed, now and when the session ends.
    // link says which connection the operator chose ("LAN 192.168.0.10").
    // False, with the reason in errorText(), when the file cannot be written.
    bool openSession(const QString &folder, const QString &link);
    // Appends this session to a file the operator named; the session keeps
    // within Limits::bytes, the older ones in the file are left alone.
    bool openFile(const QString &path, const QString &link);
    // The limits of the sessions opened from now on.
    void setLimits(const Limits &limits) { limit = limits; }
    // Logs what the conversation sends and receives.
    void follow(const Conversation &conversation);
    void close();

    bool isOpen() const { return file.isOpen(); }
    QString path() const { return file.fileName(); }
    QString errorText() const { return error; }

    // A line of the program's own between the bytes ("hh:mm:ss.zzz # text"):
    // what a read-back found, say. Escaped as the bytes are, one line.
    void note(const QString &text);

    void sent(const QByteArray &bytes) { write('T', bytes); }
    void received(const QByteArray &bytes) { write('R', bytes); }

    // Session files in a log folder, newest first.
    static QStringList SessionFiles(const QString &folder);

private:
    bool start(const QString &path, QIODevice::OpenMode mode, const QString &link);
    // Removes session files beyond the limits, keeping current (the session
    // just ended) in any case.
    void prune(const QString &folder, int sessions, const QString &current = {}) const;
    void write(char direction, const QByteArray &bytes);
    void put(const QByteArray &text);

    const Clock &clock;
    QFile file;
    QString error;
    QString sessionFolder; // empty for a file the operator named
    Limits limit;
    qint64 written = 0;     // by this session
    char lineDirection = 0; // direction of the open line, 0 when none is open
    QTime lastPiece;
};
