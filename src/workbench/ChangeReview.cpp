#include "ChangeReview.h"

#include "ConfigDiff.h"
#include "ModuleType.h"
#include "ProgramModules.h"
#include "SettingNames.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace {

const QString kEncoder = QStringLiteral("Encoder");

QString programText(int program)
{
    return QStringLiteral("Program %1").arg(program);
}

QString shown(Section section, int row, const QString &text)
{
    const QString meaning = ReadableValue(section, row, text);
    const QString value = clsKYR::Definitions(section)[size_t(row)].Kind == KindText ? u'"' + text + u'"' : text;
    return meaning.isEmpty() ? value : value + QStringLiteral(" (") + meaning + u')';
}

// Where a change belongs: the order of its program (0 the encoder), the
// order of its module within the program, and their titles.
struct Place
{
    int programOrder = 0;
    int moduleOrder = 0;
    QString program;
    QString module;
    bool operator<(const Place &other) const
    {
        return std::tie(programOrder, moduleOrder, module) <
               std::tie(other.programOrder, other.moduleOrder, other.module);
    }
};

QString moduleTitle(const clsKYR &kyr, int stream, int type)
{
    const QString name = ModuleName(type);
    if (name.isEmpty())
        return QStringLiteral("Stream ") + clsKYR::StreamText(stream);
    // A program may have several transparent modules: the port tells them apart.
    return type == ModuleType::Transparent ? name + QStringLiteral(" on ") + kyr.Stream2Name(stream) : name;
}

Place streamPlace(const clsKYR &before, const clsKYR &after, int stream)
{
    const int typeBefore = before.str(stream, StrRow::StreamType).toInt();
    const int typeAfter = after.str(stream, StrRow::StreamType).toInt();
    // A module that goes is shown where it was; any other by what it is now.
    const bool removed = typeAfter == ModuleType::Free && typeBefore != ModuleType::Free;
    const clsKYR &now = removed ? before : after;
    const int type = removed ? typeBefore : typeAfter;
    if (type == ModuleType::Free)
        return {0, 2, kEncoder, QStringLiteral("Streams not in use")};
    QString title = moduleTitle(now, stream, type);
    if (removed)
        title += QStringLiteral(" (removed)");
    else if (typeBefore == ModuleType::Free)
        title += QStringLiteral(" (new)");
    // The bridge joins two programs: it stands with the encoder.
    if (type == ModuleType::Bridging)
        return {0, 1, kEncoder, title};
    const int program = int(now.str(stream, StrRow::Program).toDouble());
    return {program, type == ModuleType::Caption ? 2 : 3 + stream, programText(program), title};
}

Place placeOf(const clsKYR &before, const clsKYR &after, Section section, int slot)
{
    switch (section) {
    case Section::Kyr:
        return {0, 0, kEncoder, QStringLiteral("TCP/IP")};
    case Section::Pgm:
        return {slot + 1, 1, programText(slot + 1), QStringLiteral("General Config")};
    case Section::Cap:
        return {slot + 1, 2, programText(slot + 1), QStringLiteral("Caption Module")};
    case Section::Str:
        return streamPlace(before, after, slot);
    }
    return {};
}

} // namespace

ChangeReview ChangeReview::Build(const clsKYR &before, const clsKYR &after)
{
    std::map<Place, std::vector<Change>> places;
    ChangeReview review;
    for (const ConfigDiff::Difference &d : ConfigDiff::SaveChanges(before, after)) {
        Change change;
        change.section = d.section;
        change.slot = d.slot;
        change.row = d.row;
        change.where = clsKYR::SectionName(d.section, d.slot);
        change.setting = clsKYR::Definitions(d.section)[size_t(d.row)].Name;
        change.readable = ReadableName(d.section, d.row);
        change.before = shown(d.section, d.row, d.before);
        change.after = shown(d.section, d.row, d.after);
        places[placeOf(before, after, d.section, d.slot)].push_back(change);
        ++review.total;
    }
    for (auto &[place, changes] : places)
        review.grouped.push_back({place.program, place.module, std::move(changes)});
    return review;
}

QString ChangeReview::summary() const
{
    if (total == 0)
        return QStringLiteral("No setting will change");
    return total == 1 ? QStringLiteral("1 setting will change") : QStringLiteral("%1 settings will change").arg(total);
}

QString ChangeReview::Line(const Change &c)
{
    return c.where + u' ' + c.setting + QStringLiteral(" (") + c.readable + QStringLiteral("): ") + c.before +
           QStringLiteral(" -> ") + c.after;
}
