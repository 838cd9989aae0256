#pragma once

#include <QFile>

// Appends every received byte, raw, to a file shared by all sessions.
class SimTranscript
{
public:
    // False with a description when the file cannot be opened; an empty path records nothing.
    bool open(const QString &path, QString &error);
    void append(const QByteArray &bytes);

private:
    QFile file;
};
