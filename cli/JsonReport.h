#pragma once

#include "ApplyPlan.h"
#include "ConfigDiff.h"
#include "Verification.h"
#include "clsKYR.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <vector>

class TargetJob;

// kyr7ctl --json: everything the document says is written here, so that the
// tools built on it read one shape. The fields are described in kyr7ctl(1).
class JsonReport
{
public:
    // The whole document; error is the refusal of a command line or file,
    // empty when there is none.
    static QByteArray Document(const QString &command, int exitStatus, const QString &error, const QJsonArray &targets,
                               const QJsonArray &differences);
    // One target as its job ended; details holds what the command added
    // (changes, not_written, kept, file, unit).
    static QJsonObject Target(const TargetJob &job, const QJsonObject &details);

    static QJsonArray Changes(const std::vector<ConfigDiff::Difference> &changes);
    static QJsonArray NotWritten(const std::vector<ApplyPlan::Unwritten> &rows);
    static QJsonArray Kept(const std::vector<ApplyPlan::Kept> &rows);
    static QJsonObject VerificationOf(const Verification &verification);
    // The unit as the main window shows it: identity, limits, network, and
    // per program its video formats and modules.
    static QJsonObject Unit(const clsKYR &kyr);
    static QJsonObject Differences(const QString &a, const QString &b, int compared,
                                   const std::vector<ConfigDiff::Difference> &lines);
};
