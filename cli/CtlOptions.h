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
    bool verify = true;          // apply: read back and compare after the save
    int verifyTimeout = 60;      // seconds within which the read-back may start an attempt
    bool skipUnwritable = false; // apply: save although the file gives settings the save cannot carry
    bool changedOnly = false;    // apply: send only the settings that change
    bool json = false;           // one JSON document on standard output
    QString logDir;              // the conversation logs; empty: the per-user log folder
    int connectTimeout = 6;      // seconds a LAN connection attempt is given
    QString init;                // modem initialisation commands, "|" between them
    QString dial;
    bool hasInit = false;
    bool hasDial = false;
    bool noVerifyGiven = false;
    bool verifyTimeoutGiven = false;
    bool help = false;
    bool version = false;

    // False with the reason on a command line that makes no sense; the
    // operands are checked by the command itself.
    static bool Parse(const QStringList &arguments, CtlOptions &options, QString &error);
    static QString Usage();
};
