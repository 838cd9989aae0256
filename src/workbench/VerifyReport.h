#pragma once

#include "Verification.h"

#include <QString>
#include <QStringList>

// What a read-back after a save found, told on the monitor and in the
// conversation log: that every setting was found as saved, with the count,
// or each setting the unit holds otherwise than it was sent.
namespace VerifyReport {

// The monitor's lines, room of them at most: the outcome first, then each
// difference; those that do not fit are counted, with where the full list is
// (the conversation log at logPath; empty when there is none).
QStringList MonitorLines(const Verification &verification, int room, const QString &logPath);

// For the conversation log: the outcome, then every difference.
QStringList LogLines(const Verification &verification);

} // namespace VerifyReport
