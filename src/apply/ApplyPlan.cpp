#include "ApplyPlan.h"

#include "ModuleType.h"
#include "ProgramModules.h"
#include "SaveRows.h"

#include <algorithm>

namespace {

const Section kSections[] = {Section::Kyr, Section::Pgm, Section::Cap, Section::Str};

bool saves(const clsKYR &kyr, Section section, int slot, int row)
{
    if (!SavesSection(kyr, section, slot))
        return false;
    const std::vector<int> rows = SaveRows(kyr, section, slot);
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

// Why the save of kyr leaves a row out, asked of the save's rules: which
// revision or which stream types would have it written.
QString whyLeftOut(const clsKYR &kyr, Section section, int slot, int row)
{
    if (!SavesSection(kyr, section, slot))
        return QStringLiteral("the unit's revision \"%1\" does not save the bridge streams (revision C and later do)")
            .arg(kyr.sKYR(KyrRow::Rev));
    if (section != Section::Str)
        return QStringLiteral("the save never writes it");
    const QString type = kyr.sSTR(slot, StrRow::StreamType);
    QStringList writing;
    for (int t : {ModuleType::Transparent, ModuleType::Constant, ModuleType::Bridging, ModuleType::Caption}) {
        clsKYR other = kyr;
        other.setStr(slot, StrRow::StreamType, KyrValue(qint32(t)));
        if (saves(other, section, slot, row))
            writing << clsKYR::ToText(KindHexWord, KyrValue(qint32(t))) + QStringLiteral(" (") + ModuleKind(t) + u')';
    }
    if (writing.isEmpty())
        return QStringLiteral("the save never writes it in %1").arg(clsKYR::SectionName(section, slot));
    if (kyr.str(slot, StrRow::StreamType).toInt() == ModuleType::Free)
        return QStringLiteral("the stream is free (StreamType %1) after the apply; the save writes this only with "
                              "StreamType %2")
            .arg(type, writing.join(QStringLiteral(", ")));
    return QStringLiteral("the save writes this only with StreamType %1, not %2")
        .arg(writing.join(QStringLiteral(", ")), type);
}

} // namespace

ApplyPlan ApplyPlan::Make(const Configuration &file, const clsKYR &unit, bool withNetwork)
{
    ApplyPlan plan;
    plan.unit = unit;
    plan.merged = file.over(unit, withNetwork);
    plan.changes = ConfigDiff::SaveChanges(unit, plan.merged);
    for (Section s : kSections) {
        const int rows = int(clsKYR::Definitions(s).size());
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            for (int row = 0; row < rows; ++row) {
                if (!file.gives(s, slot, row))
                    continue;
                const QString wanted = file.kyr.text(s, slot, row), held = unit.text(s, slot, row);
                if (wanted == held)
                    continue;
                if (Configuration::IsUnitFact(s, row) || (Configuration::IsNetwork(s, row) && !withNetwork))
                    plan.kept.push_back({s, slot, row, wanted, held});
                else if (!saves(plan.merged, s, slot, row))
                    plan.notWritten.push_back({s, slot, row, wanted, whyLeftOut(plan.merged, s, slot, row)});
            }
        }
    }
    return plan;
}

SavePlan ApplyPlan::fullSave() const
{
    return FullSavePlan(merged);
}

SavePlan ApplyPlan::changedOnly() const
{
    SavePlan plan;
    for (SaveVisit visit : FullSavePlan(merged)) {
        const bool typeChanges =
            visit.section == Section::Str && unit.text(Section::Str, visit.slot, StrRow::StreamType) !=
                                                 merged.text(Section::Str, visit.slot, StrRow::StreamType);
        if (!typeChanges) {
            std::erase_if(visit.rows, [&](int row) {
                return unit.text(visit.section, visit.slot, row) == merged.text(visit.section, visit.slot, row);
            });
        }
        if (!visit.rows.empty())
            plan.push_back(std::move(visit));
    }
    return plan;
}

bool ApplyPlan::Moves(const clsKYR &before, const clsKYR &after)
{
    for (int row : {int(KyrRow::IpNum), int(KyrRow::DHCP)}) {
        if (before.sKYR(row) != after.sKYR(row))
            return true;
    }
    return false;
}

QString ApplyPlan::RowName(Section section, int row)
{
    return clsKYR::Definitions(section)[size_t(row)].Name;
}

QString ApplyPlan::Line(const Unwritten &u)
{
    return clsKYR::SectionName(u.section, u.slot) + u' ' + RowName(u.section, u.row) + QStringLiteral(": ") +
           ConfigDiff::Shown(u.section, u.row, u.value) + QStringLiteral(" (not written: ") + u.reason + u')';
}
