#pragma once

#include "ConfigFile.h"
#include "clsKYR.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

// Reads kyr7sim's configuration file format into a model, with the
// simulator's own reader. False when the text holds a line it refuses.
inline bool LoadSimConfigText(const QByteArray &text, clsKYR &kyr)
{
    const ConfigFile file = ConfigFile::Parse(text);
    file.applyTo(kyr);
    return file.ok();
}

inline bool LoadSimConfig(const QString &path, clsKYR &kyr)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && LoadSimConfigText(file.readAll(), kyr);
}

// The configuration kyr7sim ($KYR7SIM) starts with, given these extra
// arguments, from "kyr7sim --print-config"; a test cannot go on without it.
inline clsKYR SimDemo(const QStringList &extraArgs = {})
{
    QProcess sim;
    sim.start(qEnvironmentVariable("KYR7SIM"), QStringList(extraArgs) << QStringLiteral("--print-config"));
    clsKYR kyr;
    if (!sim.waitForFinished(10000) || sim.exitStatus() != QProcess::NormalExit || sim.exitCode() != 0 ||
        !LoadSimConfigText(sim.readAllStandardOutput(), kyr))
        qFatal("kyr7sim --print-config failed");
    return kyr;
}
