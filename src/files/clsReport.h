#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

class clsKYR;

// Builds the text of the configuration report "kyr.cfg" from the model:
// every line ends with CR LF. Only reads the model.
class clsReport
{
public:
    enum Channel : int { Chroma = 0, Luma = 1 };

    explicit clsReport(const clsKYR &kyr) : kyr(kyr) {}

    // The whole report; now is the time stamped in the header, in the
    // locale's short time and date formats.
    QString Text(const QDateTime &now, const QLocale &locale = QLocale::system()) const;

    // "CC2 To CC1", "XDS No Map", "S3  To  S4" for the caption program rows
    // 2..16; empty text for any other row.
    QString CaptionMapText(int caption, int row) const;
    // The same texts from a stream's rows 19..27; empty text for any other row.
    QString StreamMapText(int stream, int row) const;
    // "L9-10,0 L21-2,2 " for the lines appended in the program's channel.
    QString ReservedText(int program, int channel) const;
    // "S1 is eng, Easy Reader is False" or "608F1 is not set" for the caption
    // program rows 17..24; empty text for any other row.
    QString LanguageText(int caption, int row) const;

    // Text of a value outside the ones the report names, e.g. "Unknown (7)".
    static QString UnknownText(const QString &value);

private:
    void Header(QString &out, const QDateTime &now, const QLocale &locale) const;
    void ProgramBlock(QString &out, int program) const;
    void StreamBlock(QString &out, int stream) const;
    void CommonLines(QString &out, int stream) const;
    void TransparentLines(QString &out, int stream) const;
    void CaptionLines(QString &out, int stream) const;
    // A stream value named from a list of words by its number (0, 1, 2, ...).
    QString Named(int stream, int row, std::initializer_list<const char *> names) const;
    // Value texts for the report: a line break inside a value would start a
    // new report line, so CR and LF are left out.
    QString K(int row) const;
    QString P(int program, int row) const;
    QString C(int caption, int row) const;
    QString S(int stream, int row) const;
    double SN(int stream, int row) const;

    const clsKYR &kyr;
};
