#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class clsKYR;

// Name of the configuration report file.
inline constexpr const char *kReportFileName = "kyr.cfg";

// The bytes of the report: Latin-1 (characters outside it written as "?"),
// CR LF line ends.
QByteArray ReportFileText(const clsKYR &kyr, const QDateTime &now);

// Writes the configuration report "kyr.cfg" into folder (the working
// directory in the program). The new report replaces an earlier one only
// once it is complete. now is the time stamped in the header. Returns false,
// with the reason in errorText, when the file cannot be created or written
// completely; an earlier report is then removed.
bool WriteReport(const clsKYR &kyr, const QString &folder, const QDateTime &now, QString *errorText = nullptr);
