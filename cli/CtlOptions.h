#pragma once

#include <QString>
#include <QStringList>

// The command line of kyr7ctl.
struct CtlOptions
{
    QString command; // fetch, diff, report or apply
    QStringList operands;
    QString output; // -o
    int jobs = 64;
    bool withNetwork = false;
    bool dryRun = false;
    bool settingsOnly = false;
    QString init; // modem initialisation commands, "|" between them
    QString dial;
    bool hasInit = false;
    bool hasDial = false;
    bool help = false;
    bool version = false;

    // False with the reason on a command line that makes no sense; the
    // operands are checked by the command itself.
    static bool Parse(const QStringList &arguments, CtlOptions &options, QString &error);
    static QString Usage();
};
