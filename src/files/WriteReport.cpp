#include "WriteReport.h"

#include "clsKYR.h"
#include "clsReport.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

bool fail(QSaveFile &file, const QString &what, QString *errorText)
{
    const QString reason = file.errorString();
    file.cancelWriting();
    // The report of an earlier save must not pass for this one.
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

    const QByteArray bytes = ReportFileText(kyr, now);

    // Written beside the old report and put in its place only when complete:
    // a crash or a full disk never leaves a cut-off report that looks whole.
    // Unbuffered, so that a short write shows at write(): a buffered one can
    // fail at commit() without saying so.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file, QStringLiteral("created"), errorText);
    if (file.write(bytes) != bytes.size())
        return fail(file, QStringLiteral("written"), errorText);
    if (!file.commit())
        return fail(file, QStringLiteral("written"), errorText);
    if (errorText)
        errorText->clear();
    return true;
}
