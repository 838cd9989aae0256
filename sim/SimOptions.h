#pragma once

#include "SimSessionOptions.h"

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The simulator's command line.
struct SimOptions
{
    QHostAddress listen = QHostAddress::LocalHost;
    quint16 port = 1080;
    QString configPath;
    QString statePath;
    QString transcriptPath;
    int transcriptLimit = 64 * 1024 * 1024; // 0: no limit
    bool factoryDefaults = false;
    // Encoder section rows given on the command line, applied last.
    QList<QPair<int, QString>> identity;
    QString serialDevice;
    int baud = 0; // 0: 9600, or 57600 with --modem
    bool pty = false;
    QString ptyLink;
    bool printConfig = false;
    SimSessionOptions session;

    // Parses the arguments; on a fault returns false with a message in error.
    // --help and --version print and exit from inside.
    bool parse(const QStringList &arguments, QString &error);
};
