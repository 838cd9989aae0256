#pragma once

#include <QFile>

// Appends every received byte, raw, to a file shared by all sessions, up
// to a limit: past it nothing more is recorded, and one line on standard
// error says so (a client may send without end).
class SimTranscript
{
public:
    // False with a description when the file cannot be opened; an empty path
    // records nothing. A limit of 0 records everything.
    bool open(const QString &path, qint64 limit, QString &error);
    void append(const QByteArray &bytes);

private:
    QFile file;
    qint64 limit = 0;
    qint64 written = 0;
};
