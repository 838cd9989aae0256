#include "SimConfigFile.h"

#include "clsKYR.h"

#include <QFile>
#include <QList>
#include <QSaveFile>

namespace {
const Section kSections[] = {Section::Kyr, Section::Pgm, Section::Cap, Section::Str};
}

bool SimConfigFile::Read(const QString &path, clsKYR &kyr, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = path + QStringLiteral(": cannot read: ") + file.errorString();
        return false;
    }
    return Apply(file.readAll(), path, kyr, error);
}

bool SimConfigFile::Apply(const QByteArray &text, const QString &name, clsKYR &kyr, QString &error)
{
    bool inSection = false;
    Section section = Section::Kyr;
    int slot = 0;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray raw = lines.at(i);
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = QString::fromLatin1(raw);
        const QString where = name + u':' + QString::number(i + 1) + QStringLiteral(": ");
        if (line.trimmed().isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            const QString title = line.trimmed();
            if (!title.endsWith(u']') ||
                !clsKYR::FindSection(title.mid(1, title.size() - 2).toUpper(), section, slot)) {
                error = where + QStringLiteral("unknown section ") + title;
                return false;
            }
            inSection = true;
            continue;
        }
        if (!inSection) {
            error = where + QStringLiteral("parameter line before the first [SECTION] line");
            return false;
        }
        if (kyr.SetParam(section, slot, line) == QLatin1String("\n?\r\n")) {
            error = where + QStringLiteral("no parameter ") + line.section(u'=', 0, 0) + QStringLiteral(" in ") +
                    clsKYR::SectionName(section, slot);
            return false;
        }
    }
    return true;
}

QByteArray SimConfigFile::Text(const clsKYR &kyr)
{
    QByteArray out;
    for (Section s : kSections) {
        const auto &defs = clsKYR::Definitions(s);
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            out += '[' + clsKYR::SectionName(s, slot).toLatin1() + "]\n";
            for (size_t row = 0; row < defs.size(); ++row)
                out += (defs[row].Name + u'=' + kyr.text(s, slot, int(row))).toLatin1() + '\n';
        }
    }
    return out;
}

bool SimConfigFile::Write(const QString &path, const clsKYR &kyr, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Text(kyr)) < 0 || !file.commit()) {
        error = path + QStringLiteral(": cannot write: ") + file.errorString();
        return false;
    }
    return true;
}
