#include "SendSummary.h"

#include "ConfigDiff.h"

namespace {

const QString kCRLF = QStringLiteral("\r\n");

QString settings(qsizetype count)
{
    if (count == 0)
        return QStringLiteral("no setting");
    return count == 1 ? QStringLiteral("1 setting") : QStringLiteral("%1 settings").arg(count);
}

// A row by its name, with its section where it is not the unit's own.
QString shortName(Section section, int slot, int row)
{
    const QString name = ApplyPlan::RowName(section, row);
    return section == Section::Kyr ? name : clsKYR::SectionName(section, slot) + u' ' + name;
}

// "a, b and c", at most SendSummary::Listed names, then how many more.
QString names(const QStringList &all)
{
    QStringList shown = all.mid(0, SendSummary::Listed);
    if (all.size() > shown.size())
        shown << QStringLiteral("%1 more").arg(all.size() - shown.size());
    if (shown.size() == 1)
        return shown.first();
    return shown.mid(0, shown.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + shown.last();
}

// "- line" for each, at most SendSummary::Listed, then how many more.
QString bullets(const QStringList &lines, const QString &moreWhere)
{
    QString text;
    for (const QString &line : lines.mid(0, SendSummary::Listed))
        text += QStringLiteral("- ") + line + kCRLF;
    if (lines.size() > SendSummary::Listed)
        text += QStringLiteral("- and %1 more (%2)").arg(lines.size() - SendSummary::Listed).arg(moreWhere) + kCRLF;
    return text;
}

} // namespace

QString SendSummary::Line(const ApplyPlan::Kept &k)
{
    return clsKYR::SectionName(k.section, k.slot) + u' ' + ApplyPlan::RowName(k.section, k.row) +
           QStringLiteral(": the file's ") + ConfigDiff::Shown(k.section, k.row, k.file) +
           QStringLiteral(", the KYR7 keeps ") + ConfigDiff::Shown(k.section, k.row, k.unit);
}

QStringList SendSummary::NotSent(const ApplyPlan &plan)
{
    QStringList lines;
    for (const ApplyPlan::Kept &k : plan.kept)
        lines << Line(k);
    for (const ApplyPlan::Unwritten &u : plan.notWritten)
        lines << ApplyPlan::Line(u);
    return lines;
}

QString SendSummary::Text(const QString &file, const QString &unit, int changes, const ApplyPlan &plan,
                          const QStringList &findings)
{
    const QString review = QStringLiteral("Review Changes lists them");
    QString text = QStringLiteral("Sending %1 to %2 changes %3. The window shows what the KYR7 will hold.")
                       .arg(file, unit, settings(changes)) +
                   kCRLF + kCRLF;
    if (!plan.kept.empty()) {
        QStringList kept;
        for (const ApplyPlan::Kept &k : plan.kept)
            kept << shortName(k.section, k.slot, k.row);
        text += QStringLiteral("The KYR7 keeps its own %1: a file does not change a unit's identity, detected "
                               "video or network settings.")
                    .arg(names(kept)) +
                kCRLF + kCRLF;
    }
    if (!plan.notWritten.empty()) {
        QStringList lines;
        for (const ApplyPlan::Unwritten &u : plan.notWritten)
            lines << ApplyPlan::Line(u);
        text += QStringLiteral("The save cannot carry %1 of the file's settings:").arg(lines.size()) + kCRLF +
                bullets(lines, review) + kCRLF;
    }
    if (findings.isEmpty()) {
        text += QStringLiteral("The checks found nothing wrong.") + kCRLF;
    } else {
        text += (findings.size() == 1 ? QStringLiteral("The checks found a problem:")
                                      : QStringLiteral("The checks found %1 problems:").arg(findings.size())) +
                kCRLF + bullets(findings, review);
    }
    return text + kCRLF +
           QStringLiteral("Nothing has been written to the KYR7 yet. Send now, review the changes against what the "
                          "KYR7 holds, or go back?");
}
