#include "SettingNames.h"

#include "ModuleType.h"
#include "ProgramModules.h"

#include <array>

namespace {

const std::array<const char *, KyrRow::Count> kEncoder{"encoder type",
                                                       "serial number",
                                                       "firmware number",
                                                       "revision",
                                                       "program version needed",
                                                       "firmware part needed",
                                                       "program version suggested",
                                                       "firmware part suggested",
                                                       "number of programs",
                                                       "transparent modules",
                                                       "caption modules",
                                                       "broadcast flag modules",
                                                       "constant data modules",
                                                       "bridging modules",
                                                       "IP address",
                                                       "broadcast address",
                                                       "netmask",
                                                       "gateway",
                                                       "DHCP"};

const std::array<const char *, CapRow::Count> kCaption{"replace upstream captions",
                                                       "caption services",
                                                       "upstream CC1 to 608 channel",
                                                       "upstream CC2 to 608 channel",
                                                       "upstream CC3 to 608 channel",
                                                       "upstream CC4 to 608 channel",
                                                       "upstream XDS passed on",
                                                       "upstream CC1 to 708 service",
                                                       "upstream CC2 to 708 service",
                                                       "upstream CC3 to 708 service",
                                                       "upstream CC4 to 708 service",
                                                       "upstream service 1 to 708 service",
                                                       "upstream service 2 to 708 service",
                                                       "upstream service 3 to 708 service",
                                                       "upstream service 4 to 708 service",
                                                       "upstream service 5 to 708 service",
                                                       "upstream service 6 to 708 service",
                                                       "608 field 1 language",
                                                       "608 field 2 language",
                                                       "708 service 1 language",
                                                       "708 service 2 language",
                                                       "708 service 3 language",
                                                       "708 service 4 language",
                                                       "708 service 5 language",
                                                       "708 service 6 language",
                                                       "608 field 1 easy reader",
                                                       "608 field 2 easy reader",
                                                       "708 service 1 easy reader",
                                                       "708 service 2 easy reader",
                                                       "708 service 3 easy reader",
                                                       "708 service 4 easy reader",
                                                       "708 service 5 easy reader",
                                                       "708 service 6 easy reader",
                                                       "broadcast flag"};

const std::array<const char *, StrRow::Count> kStream{"module type",
                                                      "program",
                                                      "direction (encode or decode)",
                                                      "data channel (chroma or luma)",
                                                      "insert lines, field 1",
                                                      "insert lines, field 2",
                                                      "data ID (DID)",
                                                      "secondary data ID (SDID)",
                                                      "baud rate",
                                                      "data bits",
                                                      "parity",
                                                      "stop bits",
                                                      "transmit flow control",
                                                      "receive flow control",
                                                      "LAN port",
                                                      "data type",
                                                      "mode",
                                                      "echo commands",
                                                      "field indicator",
                                                      "CC1 to 608 output",
                                                      "CC2 to 608 output",
                                                      "CC3 to 608 output",
                                                      "CC4 to 608 output",
                                                      "XDS passed on",
                                                      "CC1 to 708 service",
                                                      "CC2 to 708 service",
                                                      "CC3 to 708 service",
                                                      "CC4 to 708 service",
                                                      "flush bytes",
                                                      "frame delay",
                                                      "data count, field 1",
                                                      "data count, field 2",
                                                      "packet ID 1",
                                                      "packet ID 2",
                                                      "footer ID",
                                                      "footer size",
                                                      "timeout flush",
                                                      "VANC flush",
                                                      "data file",
                                                      "conditional insertion",
                                                      "bridge type",
                                                      "external modem",
                                                      "modem initialisation",
                                                      "disconnect processing",
                                                      "transparent mode",
                                                      "transparent time-out"};

QString programName(int row)
{
    switch (row) {
    case PgmRow::VideoMode:
        return QStringLiteral("current video format");
    case PgmRow::RequestedVideoMode:
        return QStringLiteral("requested video format");
    case PgmRow::AddToCLines:
        return QStringLiteral("chroma lines appended to");
    case PgmRow::AddToLLines:
        return QStringLiteral("luma lines appended to");
    default:
        break;
    }
    const int k = row - PgmRow::FirstLineCfg;
    const int channel = k / 50, field = k % 50 / 25 + 1, line = k % 25 + 1;
    return QStringLiteral("bytes reserved on %1 line %2, field %3")
        .arg(channel == 0 ? QStringLiteral("chroma") : QStringLiteral("luma"))
        .arg(line)
        .arg(field);
}

bool isLineMask(Section section, int row)
{
    return (section == Section::Str && (row == StrRow::InsertLinesF1 || row == StrRow::InsertLinesF2)) ||
           (section == Section::Pgm && (row == PgmRow::AddToCLines || row == PgmRow::AddToLLines));
}

} // namespace

QString ReadableName(Section section, int row)
{
    if (row < 0 || row >= int(clsKYR::Definitions(section).size()))
        return {};
    switch (section) {
    case Section::Kyr:
        return QString::fromLatin1(kEncoder[size_t(row)]);
    case Section::Pgm:
        return programName(row);
    case Section::Cap:
        return QString::fromLatin1(kCaption[size_t(row)]);
    case Section::Str:
        return QString::fromLatin1(kStream[size_t(row)]);
    }
    return {};
}

QString ReadableValue(Section section, int row, const QString &text)
{
    const int kind = row >= 0 && row < int(clsKYR::Definitions(section).size())
                         ? clsKYR::Definitions(section)[size_t(row)].Kind
                         : KindText;
    const KyrValue value = clsKYR::FromText(kind, text);
    if (isLineMask(section, row)) {
        const QString lines = clsKYR::LineNumbers(value.toInt());
        return lines == QLatin1String("None") ? QStringLiteral("no line")
               : lines.contains(u',')         ? QStringLiteral("lines ") + lines
                                              : QStringLiteral("line ") + lines;
    }
    if (section == Section::Pgm && (row == PgmRow::RequestedVideoMode || row == PgmRow::VideoMode))
        return clsKYR::VideoName(value.toInt(), row == PgmRow::RequestedVideoMode);
    if (section == Section::Str && row == StrRow::StreamType)
        return ModuleKind(value.toInt());
    if (section == Section::Cap && row == CapRow::RCControl)
        return clsKYR::BF2Text(value.toInt());
    return {};
}
