// Display conversions and line rules of clsKYR.
#include "clsKYR.h"

namespace {

const char *const kCrLf = "\r\n";

struct LineRule
{
    const char *standard;
    int recommendedFirst, recommendedLast;
    int validFirst, validLast; // valid but not recommended, inclusive
    const char *notRecommended;
    const char *invalid;
};

const LineRule *lineRule(int s)
{
    static const LineRule sd525 = {"Warning, the KYR7 is set to insert into SD 525 line video", 12, 19, 10, 11,
                                   "is not in the recommended range of 12 to 20",
                                   "Valid lines are 10 to 19.  It is suggested you use lines 12 to 19"};
    static const LineRule sd625 = {"Warning, the KYR7 is set to insert into SD 625 line video", 8, 22, 7, 7,
                                   "is not in the recommended range of 8 to 22",
                                   "Valid lines are 7 to 22.  It is suggested you use lines 8 to 22"};
    static const LineRule hd720 = {"Warning, the KYR7 is set to insert into HD 720p video", 9, 25, 1, 8,
                                   "is not in the recommended range of 9 to 25",
                                   "Valid lines are 1 to 25.  It is suggested you use lines 9 to 25"};
    static const LineRule hd1080i = {"Warning, the KYR7 is set to insert into HD 1080i video", 9, 20, 1, 8,
                                     "is not in the recommended range of 9 to 20",
                                     "Valid lines are 1 to 20.  It is suggested you use lines 9 to 20"};
    static const LineRule hd1080p = {"Warning, the KYR7 is set to insert into HD 1080p video", 9, 25, 1, 8,
                                     "is not in the recommended range of 9 to 25",
                                     "Valid lines are 1 to 25.  It is suggested you use lines 9 to 25"};
    static const LineRule hd1080psf = {"Warning, the KYR7 is set to insert into HD 1080psf video", 9, 20, 1, 8,
                                       "is not in the recommended range of 9 to 20",
                                       "Valid lines are 1 to 20.  It is suggested you use lines 9 to 20"};
    switch (s) {
    case 2:
        return &sd525;
    case 3:
        return &sd625;
    case 5:
    case 6:
    case 7:
        return &hd720;
    case 8:
    case 9:
    case 10:
        return &hd1080i;
    case 11:
    case 12:
        return &hd1080p;
    case 13:
    case 14:
        return &hd1080psf;
    default:
        return nullptr;
    }
}

} // namespace

QString clsKYR::VideoName(int code, bool requested)
{
    static const char *const detected[] = {
        "No Video Present", "Unknown SD", "SD 525 Line", "SD 625 Line", "Unknown HD",
        "HD 720p 50 Hz", "HD 720p 59.94 Hz", "HD 720p 60 Hz", "HD 1080i 59.94 Hz", "HD 1080i 60 Hz",
        "HD 1080i 50 Hz", "HD 1080p 23.98 Hz", "HD 1080p 24 Hz", "HD 1080psf 23.98 Hz", "HD 1080psf 24 Hz",
    };
    if (code < 0 || code > 14)
        return {};
    if (requested) {
        if (code == 0)
            return QStringLiteral("None - Disable Encoding");
        if (code == 1)
            return QStringLiteral("Any SD Video");
        if (code == 4)
            return QStringLiteral("Any HD Video");
    }
    return QString::fromLatin1(detected[code]);
}

QString clsKYR::Stream2Name(int stream) const
{
    if (stream >= StreamSlot::LAN1 && stream <= StreamSlot::LAN8)
        return sSTR(stream, StrRow::PortAddr);
    if (stream == StreamSlot::FILE1 || stream == StreamSlot::FILE2) {
        const QString file = sSTR(stream, StrRow::FileName);
        if (file == QLatin1String("metadata_51"))
            return QStringLiteral("5.1 Surround");
        if (file == QLatin1String("metadata_stereo"))
            return QStringLiteral("Stereo");
        if (file == QLatin1String("51_sap"))
            return QStringLiteral("5.1 + SAP");
        if (file == QLatin1String("stereo_sap"))
            return QStringLiteral("Stereo + SAP");
        return file;
    }
    if (stream == StreamSlot::INBRIDGE1 || stream == StreamSlot::OUTBRIDGE1)
        return QStringLiteral("Bridge");
    return StreamText(stream);
}

int clsKYR::Name2Stream(const QString &name) const
{
    for (int s = 0; s < StreamSlots; ++s) {
        if (s >= StreamSlot::LAN1 && s <= StreamSlot::LAN8) {
            if (sSTR(s, StrRow::PortAddr) == name)
                return s;
        } else if (StreamText(s) == name) {
            return s;
        }
    }
    return -1;
}

qint32 clsKYR::InsertLines(int line)
{
    if (line < 1 || line > 32)
        return 0;
    return static_cast<qint32>(quint32(1) << (line - 1));
}

int clsKYR::LineNumber(qint32 mask)
{
    for (int bit = 0; bit <= 24; ++bit) {
        if (mask & (1 << bit))
            return bit + 1;
    }
    return 9;
}

QString clsKYR::LineNumbers(qint32 mask)
{
    QStringList lines;
    for (int bit = 0; bit <= 24; ++bit) {
        if (mask & (1 << bit))
            lines << QString::number(bit + 1);
    }
    return lines.isEmpty() ? QStringLiteral("None") : lines.join(QLatin1String(", "));
}

QString clsKYR::ValidLine(int program, int line) const
{
    const int r = pgm(program, PgmRow::RequestedVideoMode).toInt();
    const int d = pgm(program, PgmRow::VideoMode).toInt();
    const QString crlf = QString::fromLatin1(kCrLf);
    const QString undetermined = QStringLiteral("It is not possible to determine if the selected line is appropriate.");
    int s = r;
    if (r == 0)
        return QStringLiteral("Warning, the KYR7 is currently set not to insert.") + crlf + undetermined;
    if (r == 1) {
        if (d != 2 && d != 3) {
            return QStringLiteral("Warning, the KYR7 is currently set to insert into any SD video.") + crlf +
                   QStringLiteral("Valid SD video was not present at the input when the KYR7 went into setup.") +
                   crlf + undetermined;
        }
        s = d;
    } else if (r == 4) {
        if (d < 5 || d > 14) {
            return QStringLiteral("Warning, the KYR7 is currently set to insert into any HD video.") + crlf +
                   QStringLiteral("Valid HD video was not present at the input when the KYR7 went into setup.") +
                   crlf + undetermined;
        }
        s = d;
    }
    const LineRule *rule = lineRule(s);
    if (!rule)
        return QStringLiteral("You have selected to only insert into ");
    if (line >= rule->recommendedFirst && line <= rule->recommendedLast)
        return {};
    const QString head = QString::fromLatin1(rule->standard) + crlf + QStringLiteral("Line ") + QString::number(line);
    if (line >= rule->validFirst && line <= rule->validLast)
        return head + QStringLiteral(" is a valid insert line but") + crlf + QString::fromLatin1(rule->notRecommended);
    return head + QStringLiteral(" is not a valid line number") + crlf + QString::fromLatin1(rule->invalid);
}

QString clsKYR::BF2Text(int mode)
{
    switch (mode) {
    case 0:
        return QStringLiteral("Disabled - Upstream Passes");
    case 1:
        return QStringLiteral("Controlled by Commands");
    case 2:
        return QStringLiteral("Controlled by GPIO and Commands");
    case 3:
        return QStringLiteral("Blocked - None Passes");
    case 4:
        return QStringLiteral("Always Inserted");
    default:
        return {};
    }
}
