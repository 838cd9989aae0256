#include "ConfigDiff.h"

#include "Configuration.h"
#include "SaveRows.h"

#include <set>

namespace {

const Section kSections[] = {Section::Kyr, Section::Pgm, Section::Cap, Section::Str};

// Rows of a section a save of this model sends; empty when it skips the section.
std::set<int> savedRows(const clsKYR &kyr, Section section, int slot)
{
    if (!SavesSection(kyr, section, slot))
        return {};
    const std::vector<int> rows = SaveRows(kyr, section, slot);
    return {rows.begin(), rows.end()};
}

// The model whose save rules judge a side: its own, but a file that does not
// give the revision letter is taken as written for a unit that saves the
// bridge streams, so that the bridge settings it gives are compared.
clsKYR judged(const Configuration &side)
{
    clsKYR kyr = side.kyr;
    if (!side.gives(Section::Kyr, 0, KyrRow::Rev))
        kyr.SetKYRParam(QStringLiteral("Rev=G"));
    return kyr;
}

} // namespace

std::vector<ConfigDiff::Difference> ConfigDiff::Compare(const Configuration &before, const Configuration &after,
                                                        Rows rows, int *compared)
{
    std::vector<Difference> out;
    int both = 0;
    const clsKYR beforeRules = judged(before), afterRules = judged(after);
    for (Section s : kSections) {
        const int count = int(clsKYR::Definitions(s).size());
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            std::set<int> wanted;
            if (rows == Rows::Settings) {
                wanted = savedRows(beforeRules, s, slot);
                wanted.merge(savedRows(afterRules, s, slot));
            }
            for (int row = 0; row < count; ++row) {
                if (!before.gives(s, slot, row) || !after.gives(s, slot, row))
                    continue;
                if (rows == Rows::Settings && (!wanted.count(row) || Configuration::IsNetwork(s, row)))
                    continue;
                ++both;
                const QString a = before.kyr.text(s, slot, row), b = after.kyr.text(s, slot, row);
                if (a != b)
                    out.push_back({s, slot, row, a, b});
            }
        }
    }
    if (compared)
        *compared = both;
    return out;
}

std::vector<ConfigDiff::Difference> ConfigDiff::SaveChanges(const clsKYR &before, const clsKYR &after)
{
    std::vector<Difference> out;
    for (Section s : kSections) {
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            for (int row : savedRows(after, s, slot)) {
                const QString a = before.text(s, slot, row), b = after.text(s, slot, row);
                if (a != b)
                    out.push_back({s, slot, row, a, b});
            }
        }
    }
    return out;
}

QString ConfigDiff::Line(const Difference &d)
{
    return clsKYR::SectionName(d.section, d.slot) + u' ' + clsKYR::Definitions(d.section)[size_t(d.row)].Name +
           QStringLiteral(": ") + Shown(d.section, d.row, d.before) + QStringLiteral(" -> ") +
           Shown(d.section, d.row, d.after);
}

QString ConfigDiff::Shown(Section section, int row, const QString &value)
{
    if (clsKYR::Definitions(section)[size_t(row)].Kind != KindText)
        return value;
    QString escaped = value;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + escaped + u'"';
}
