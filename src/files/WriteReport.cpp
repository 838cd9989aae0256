#include "WriteReport.h"

#include "clsKYR.h"
#include "clsReport.h"

#include <QDir>
#include <QFile>

namespace {

bool fail(QFile &file, const QString &what, QString *errorText)
{
    const QString reason = file.errorString();
    file.close();
    // A half-written report must not pass for a complete one.
    QFile::remove(file.fileName());
    if (errorText) {
        *errorText = QStringLiteral("The report file %1 could not be %2: %3")
                         .arg(QDir::toNativeSeparators(file.fileName()), what, reason);
    }
    return false;
}

} // namespace

QByteArray ReportFileText(const clsKYR &kyr, const QDateTime &now)
{
    return clsReport(kyr).Text(now).toLatin1();
}

bool WriteReport(const clsKYR &kyr, const QString &folder, const QDateTime &now, QString *errorText)
{
    const QString path = QDir(folder).filePath(QString::fromLatin1(kReportFileName));
    // The old report goes first; a failure here (there is none) is of no account.
    QFile::remove(path);

    const QByteArray bytes = ReportFileText(kyr, now);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(file, QStringLiteral("created"), errorText);
    if (file.write(bytes) != bytes.size())
        return fail(file, QStringLiteral("written"), errorText);
    if (!file.flush())
        return fail(file, QStringLiteral("written"), errorText);
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fail(file, QStringLiteral("written"), errorText);
    if (errorText)
        errorText->clear();
    return true;
}
