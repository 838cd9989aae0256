#include "VerifyReport.h"

#include <QDir>

namespace {

QString outcome(const Verification &v)
{
    switch (v.result) {
    case Verification::Result::Verified:
        return v.checked == 1
                   ? QStringLiteral("Verified: the one setting sent was found as saved")
                   : QStringLiteral("Verified: every setting was found as saved (%1 settings compared)").arg(v.checked);
    case Verification::Result::Mismatch:
        return QStringLiteral("Verify found %1 of the %2 settings sent not held as saved:")
            .arg(v.mismatches.size())
            .arg(v.checked);
    case Verification::Result::Failed:
        return QStringLiteral("Verify failed: ") + v.message;
    case Verification::Result::NotRun:
        break;
    }
    return QStringLiteral("Verify was not run: ") + v.message;
}

} // namespace

QStringList VerifyReport::MonitorLines(const Verification &v, int room, const QString &logPath)
{
    const QString log = QDir::toNativeSeparators(logPath);
    QStringList lines{outcome(v)};
    if (v.result == Verification::Result::Failed && !log.isEmpty())
        lines << QStringLiteral("Conversation log: ") + log;
    const qsizetype count = qsizetype(v.mismatches.size());
    // All of them when they fit; else one line less, for the count of the rest.
    const qsizetype shown = 1 + count <= room ? count : qMax<qsizetype>(0, room - 2);
    for (qsizetype i = 0; i < shown; ++i)
        lines << Verification::Line(v.mismatches[size_t(i)]);
    if (shown < count) {
        lines << (log.isEmpty()
                      ? QStringLiteral("... and %1 more, not listed: there is no conversation log").arg(count - shown)
                      : QStringLiteral("... and %1 more; the full list is in the conversation log %2")
                            .arg(count - shown)
                            .arg(log));
    }
    return lines;
}

QStringList VerifyReport::LogLines(const Verification &v)
{
    QStringList lines{outcome(v)};
    for (const Verification::Mismatch &m : v.mismatches)
        lines << Verification::Line(m);
    return lines;
}
