#pragma once

#include "clsKYR.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

// Reads kyr7sim's configuration file format ("[SECTION]" lines, then
// name=value lines) into a model with the set-parameter operations. False
// when the file cannot be read or holds a line the encoder would refuse.
inline bool LoadSimConfigText(const QByteArray &text, clsKYR &kyr)
{
    bool inSection = false;
    Section section = Section::Kyr;
    int slot = 0;
    for (QByteArray raw : text.split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = QString::fromLatin1(raw);
        if (line.trimmed().isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            const QString title = line.trimmed();
            if (!title.endsWith(u']') || !clsKYR::FindSection(title.mid(1, title.size() - 2).toUpper(), section, slot))
                return false;
            inSection = true;
            continue;
        }
        if (!inSection || kyr.SetParam(section, slot, line) == QLatin1String("\n?\r\n"))
            return false;
    }
    return true;
}

inline bool LoadSimConfig(const QString &path, clsKYR &kyr)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && LoadSimConfigText(file.readAll(), kyr);
}

// The configuration kyr7sim ($KYR7SIM) starts with, given these extra
// arguments, from "kyr7sim --print-config". False when it cannot be run.
inline bool DefaultSimConfig(clsKYR &kyr, const QStringList &extraArgs = {})
{
    QProcess sim;
    sim.start(qEnvironmentVariable("KYR7SIM"), QStringList(extraArgs) << QStringLiteral("--print-config"));
    if (!sim.waitForFinished(10000) || sim.exitStatus() != QProcess::NormalExit || sim.exitCode() != 0)
        return false;
    return LoadSimConfigText(sim.readAllStandardOutput(), kyr);
}

// A configuration file's text for the given sections of a model, in table order.
inline QByteArray SimConfigText(const clsKYR &kyr)
{
    QByteArray out;
    for (Section s : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str}) {
        const auto &defs = clsKYR::Definitions(s);
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            out += '[' + clsKYR::SectionName(s, slot).toLatin1() + "]\n";
            for (size_t row = 0; row < defs.size(); ++row)
                out += (defs[row].Name + u'=' + kyr.text(s, slot, int(row))).toLatin1() + '\n';
        }
    }
    return out;
}
