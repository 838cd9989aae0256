#include "CheckVersion.h"

#include "Messages.h"
#include "clsKYR.h"

namespace {
const QString OwnProduct = QStringLiteral("47215");
const QString OwnRevision = QStringLiteral("G");
const QString WebAddress = QStringLiteral("www.kyr7.example");
const QString CRLF = QStringLiteral("\r\n");
} // namespace

VersionVerdict JudgeVersion(const clsKYR &kyr)
{
    const QString required = kyr.sKYR(KyrRow::PartRequired);
    const QString product = required.left(5);
    const QString requiredLetter = required.mid(6, 1);
    const QString suggestedLetter = kyr.sKYR(KyrRow::PartSuggested).mid(6, 1);
    const QString version = kyr.sKYR(KyrRow::VersionSuggested);
    const QString errorTitle =
        QStringLiteral("Error, KYR7 requires at least version ") + version + QStringLiteral(" of setup software");

    if (product != OwnProduct) {
        return {VersionVerdict::Refused, errorTitle,
                QStringLiteral("This is not the correct setup software for this version of the KYR7") + CRLF +
                    QStringLiteral("the required software is 86-") + product +
                    QStringLiteral("-01, Please check the website for software") + CRLF + WebAddress};
    }
    if (suggestedLetter > OwnRevision) {
        if (requiredLetter > OwnRevision) {
            return {VersionVerdict::Refused, errorTitle,
                    QStringLiteral("This software is not as new as the KYR7 software.") + CRLF +
                        QStringLiteral("Please use the latest version of the software 86-") + product +
                        QStringLiteral("-01.") + CRLF + QStringLiteral("Check the website ") + WebAddress};
        }
        return {VersionVerdict::Warning,
                QStringLiteral("Warning, version ") + version +
                    QStringLiteral(" is required for full functionality of the setup software"),
                QStringLiteral("This software is not as new as the KYR7 software.") + CRLF +
                    QStringLiteral("You may use this software to setup the KYR7 but it may not be able to "
                                   "setup all features.") +
                    CRLF + QStringLiteral("A newer version of 86-") + product +
                    QStringLiteral("-01 is available from the website") + CRLF + WebAddress};
    }
    return {};
}

bool CheckVersion(const clsKYR &kyr, Messages &messages)
{
    const VersionVerdict verdict = JudgeVersion(kyr);
    if (verdict.outcome != VersionVerdict::Suits)
        messages.inform(verdict.title, verdict.text);
    return verdict.outcome != VersionVerdict::Refused;
}
