#include "ConfigFile.h"

#include <QByteArrayView>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

const Section kSections[] = {Section::Kyr, Section::Pgm, Section::Cap, Section::Str};

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

QString withoutLineBreaks(QString text)
{
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(QChar c)
{
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// "0x" and one to maxDigits hex digits.
bool hexForm(const QString &value, int maxDigits)
{
    const qsizetype digits = value.size() - 2;
    if (!value.startsWith(QLatin1String("0x")) || digits < 1 || digits > maxDigits)
        return false;
    return std::all_of(value.begin() + 2, value.end(), isHexDigit);
}

// Digits with an optional "." and digits, and an optional exponent: what the
// writer writes for a decimal value, and no sign.
bool decimalForm(const QString &value)
{
    qsizetype i = 0, mantissa = 0;
    const qsizetype n = value.size();
    for (; i < n && isDigit(value[i]); ++i)
        ++mantissa;
    if (i < n && value[i] == u'.') {
        for (++i; i < n && isDigit(value[i]); ++i)
            ++mantissa;
    }
    if (mantissa == 0)
        return false;
    if (i < n && (value[i] == u'e' || value[i] == u'E')) {
        ++i;
        if (i < n && (value[i] == u'+' || value[i] == u'-'))
            ++i;
        const qsizetype digits = i;
        while (i < n && isDigit(value[i]))
            ++i;
        if (i == digits)
            return false;
    }
    return i == n;
}

} // namespace

int ConfigFile::Key(Section section, int slot, int row)
{
    return (int(section) * 32 + slot) * 256 + row;
}

QString ConfigFile::ValueProblem(int kind, const QString &value)
{
    switch (kind) {
    case KindDecimal: {
        if (!decimalForm(value))
            return quoted(value) + QStringLiteral(" is not a decimal number (digits, a \".\" and digits; no sign)");
        bool finite = false;
        if (const double number = value.toDouble(&finite); !finite || !std::isfinite(number))
            return quoted(value) + QStringLiteral(" is out of range");
        return {};
    }
    case KindHexByte:
        if (!hexForm(value, 2))
            return quoted(value) + QStringLiteral(" is not a hexadecimal byte (\"0x\" and one or two hex digits)");
        return {};
    case KindHexWord:
        if (!hexForm(value, 4))
            return quoted(value) + QStringLiteral(" is not a hexadecimal word (\"0x\" and one to four hex digits)");
        return {};
    case KindHexLong:
        if (!hexForm(value, 8))
            return quoted(value) + QStringLiteral(" is not a hexadecimal long (\"0x\" and one to eight hex digits)");
        // The encoder keeps 31 bits: a larger value would be stored changed.
        if (value.mid(2).toUInt(nullptr, 16) > 0x7FFFFFFFu)
            return quoted(value) + QStringLiteral(" is out of range (at most 0x7FFFFFFF)");
        return {};
    default:
        return {};
    }
}

void ConfigFile::addProblem(int line, const QString &reason)
{
    ++totalProblems;
    if (foundProblems.size() < size_t(MaxProblems))
        foundProblems.push_back({line, reason});
}

ConfigFile ConfigFile::Parse(const QByteArray &text)
{
    ConfigFile file;
    enum { BeforeSections, InSection, InUnknownSection } state = BeforeSections;
    Section section = Section::Kyr;
    int slot = 0;
    int number = 0;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        QByteArrayView raw(text.constData() + start, end - start);
        start = end + 1;
        ++number;
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QByteArrayView trimmedRaw = raw.trimmed();
        if (trimmedRaw.isEmpty() || trimmedRaw.startsWith(';'))
            continue;
        const QString line = QString::fromLatin1(raw);
        const QString trimmed = QString::fromLatin1(trimmedRaw);
        if (raw.contains('\r')) {
            file.addProblem(number, QStringLiteral("a carriage return inside the line"));
            continue;
        }
        if (trimmed.startsWith(u'[')) {
            if (!trimmed.endsWith(u']')) {
                file.addProblem(number, QStringLiteral("a section line without its closing \"]\""));
                state = InUnknownSection;
                continue;
            }
            const QString name = trimmed.mid(1, trimmed.size() - 2).trimmed();
            if (clsKYR::FindSection(name.toUpper(), section, slot)) {
                state = InSection;
            } else {
                file.addProblem(number, QStringLiteral("unknown section ") + trimmed +
                                            QStringLiteral("; its lines are not read"));
                state = InUnknownSection;
            }
            continue;
        }
        if (state == InUnknownSection)
            continue;
        if (state == BeforeSections) {
            file.addProblem(number, QStringLiteral("a setting before the first [SECTION] line"));
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            file.addProblem(number, QStringLiteral("no \"=\" in ") + quoted(line));
            continue;
        }
        if (equals == 0) {
            file.addProblem(number, QStringLiteral("no name before \"=\""));
            continue;
        }
        const QString name = line.left(equals);
        const QString value = line.mid(equals + 1);
        const QString where = u'[' + clsKYR::SectionName(section, slot) + u']';
        const int row = clsKYR::FindRow(section, name);
        if (row < 0) {
            file.addProblem(number,
                            QStringLiteral("unknown parameter ") + quoted(name) + QStringLiteral(" in ") + where);
            continue;
        }
        const QString rowName = clsKYR::Definitions(section)[size_t(row)].Name;
        const QString valueProblem = ValueProblem(clsKYR::Definitions(section)[size_t(row)].Kind, value);
        if (!valueProblem.isEmpty()) {
            file.addProblem(number, rowName + QStringLiteral(": ") + valueProblem);
            continue;
        }
        const int key = Key(section, slot, row);
        if (file.lineOfSetting.contains(key)) {
            file.addProblem(number, rowName + QStringLiteral(" given twice in ") + where +
                                        QStringLiteral(" (first at line %1)").arg(file.lineOfSetting.value(key)));
            continue;
        }
        file.lineOfSetting.insert(key, number);
        file.givenSettings.push_back({section, slot, row, value, number});
    }
    return file;
}

ConfigFile ConfigFile::Read(const QString &path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        ConfigFile file;
        file.addProblem(0, QStringLiteral("cannot read: ") + in.errorString());
        return file;
    }
    // A bounded read: a device or a huge file is refused rather than swallowed.
    const QByteArray text = in.read(MaxSize + 1);
    if (in.error() != QFileDevice::NoError) {
        ConfigFile file;
        file.addProblem(0, QStringLiteral("cannot read: ") + in.errorString());
        return file;
    }
    if (text.size() > MaxSize) {
        ConfigFile file;
        file.addProblem(0, QStringLiteral("larger than %1 MiB: not a configuration file").arg(MaxSize >> 20));
        return file;
    }
    return Parse(text);
}

QStringList ConfigFile::messages(const QString &name) const
{
    QStringList out;
    for (const Problem &p : foundProblems)
        out << (p.line > 0 ? name + u':' + QString::number(p.line) : name) + QStringLiteral(": ") + p.reason;
    if (totalProblems > int(foundProblems.size()))
        out << name + QStringLiteral(": %1 more problems").arg(totalProblems - int(foundProblems.size()));
    return out;
}

void ConfigFile::applyTo(clsKYR &kyr) const
{
    for (const Setting &s : givenSettings)
        kyr.setText(s.section, s.slot, s.row, s.value);
}

bool ConfigFile::gives(Section section, int slot, int row) const
{
    return lineOfSetting.contains(Key(section, slot, row));
}

QByteArray ConfigFile::Text(const clsKYR &kyr, const QStringList &comments, const RowFilter &rows)
{
    QByteArray out;
    for (const QString &comment : comments)
        out += "; " + withoutLineBreaks(comment).toLatin1() + '\n';
    for (Section s : kSections) {
        const auto &defs = clsKYR::Definitions(s);
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            QByteArray section;
            for (size_t row = 0; row < defs.size(); ++row) {
                if (!rows || rows(s, slot, int(row)))
                    section +=
                        (defs[row].Name + u'=' + withoutLineBreaks(kyr.text(s, slot, int(row)))).toLatin1() + '\n';
            }
            if (!section.isEmpty())
                out += '[' + clsKYR::SectionName(s, slot).toLatin1() + "]\n" + section;
        }
    }
    return out;
}

QStringList ConfigFile::Header(const QString &holds, const QString &origin, const QDateTime &when,
                               const QString &program)
{
    return {holds, QStringLiteral("%1 on %2 by %3").arg(origin, when.toString(Qt::ISODate), program)};
}

QString ConfigFile::Identity(const clsKYR &kyr)
{
    return QStringLiteral("KYR7 %1, software %2 rev. %3")
        .arg(kyr.sKYR(KyrRow::SerialNumber), kyr.sKYR(KyrRow::Software), kyr.sKYR(KyrRow::Rev));
}

bool ConfigFile::Write(const QString &path, const clsKYR &kyr, QString &error, const QStringList &comments,
                       const RowFilter &rows)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Text(kyr, comments, rows)) < 0 || !file.commit()) {
        error = path + QStringLiteral(": cannot write: ") + file.errorString();
        return false;
    }
    return true;
}
