#pragma once

#include <QString>

class clsKYR;

// The simulator's configuration file: "[SECTION]" lines, each followed by
// "name=value" lines applied with the model's set-parameter operation.
// Sections may be partial; blank lines and lines starting with ";" are skipped.
class SimConfigFile
{
public:
    // Applies the file to the model. On a bad line or an unreadable file,
    // returns false and describes the fault ("FILE:LINE: ...") in error;
    // the lines before the fault stay applied.
    static bool Read(const QString &path, clsKYR &kyr, QString &error);
    // Applies the text of a configuration file; name is used in messages.
    static bool Apply(const QByteArray &text, const QString &name, clsKYR &kyr, QString &error);
    // Every defined parameter of every section, in table order.
    static QByteArray Text(const clsKYR &kyr);
    // Writes Text() atomically; false with a description on failure.
    static bool Write(const QString &path, const clsKYR &kyr, QString &error);
};
