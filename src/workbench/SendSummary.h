#pragma once

#include "ApplyPlan.h"

#include <QString>
#include <QStringList>

// What the operator is told before a configuration file is sent to a unit,
// worked out from the ApplyPlan of the file over what the unit holds: how
// many settings change, which of the file's settings the unit keeps (its
// identity, detected video and network), which the save cannot carry, and
// what the checks find. Nothing is written before the operator has read it.
namespace SendSummary {

// Lists longer than this are cut short in the message; the review names
// every one of them.
constexpr int Listed = 8;

// The one message before anything is written. file is the file's name,
// unit says which unit ("the KYR7 12345 over LAN 10.0.0.7"), changes is how
// many settings the save changes (the configuration shown may have been
// edited since the plan was made).
QString Text(const QString &file, const QString &unit, int changes, const ApplyPlan &plan, const QStringList &findings);

// Each of the file's settings that is not sent, on a line of its own: those
// the unit keeps, then those the save cannot carry.
QStringList NotSent(const ApplyPlan &plan);

// A kept setting as a line: "KYR SerialNumber: the file's \"9\", the KYR7 keeps \"12345\"".
QString Line(const ApplyPlan::Kept &kept);

} // namespace SendSummary
