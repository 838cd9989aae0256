#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Writes a file a test needs; a file that cannot be written ends the test run.
inline QString WriteTestFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(path));
    return file.fileName();
}

// What a file holds; empty when it cannot be read.
inline QByteArray ReadTestFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A file's settings without the comment lines it starts with.
inline QByteArray Body(QByteArray text)
{
    while (text.startsWith(';'))
        text = text.mid(text.indexOf('\n') + 1);
    return text;
}
