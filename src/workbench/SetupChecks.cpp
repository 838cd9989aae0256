#include "SetupChecks.h"

#include "ModuleType.h"
#include "ProgramModules.h"
#include "SaveRows.h"

#include <array>
#include <cmath>
#include <map>
#include <vector>

namespace {

constexpr qint32 kLines = 0x01FFFFFF; // lines 1 to 25
constexpr int kSetupPort = 1080;

int typeOf(const clsKYR &kyr, int stream)
{
    return kyr.str(stream, StrRow::StreamType).toInt();
}

bool encodes(const clsKYR &kyr, int stream)
{
    return kyr.sSTR(stream, StrRow::Direction) == QLatin1String("E");
}

// The program a stream's module belongs to (1, 2; 0 or more for a wrong one).
int programOf(const clsKYR &kyr, int stream)
{
    const double program = kyr.str(stream, StrRow::Program).toDouble();
    return std::isfinite(program) && program >= 0 && program < 1000 ? int(program) : 0;
}

QString moduleText(const clsKYR &kyr, int stream)
{
    switch (typeOf(kyr, stream)) {
    case ModuleType::Transparent:
        return QStringLiteral("the transparent module on ") + kyr.Stream2Name(stream);
    case ModuleType::Constant:
        return QStringLiteral("the constant data module");
    case ModuleType::Bridging:
        return QStringLiteral("the bridging module");
    case ModuleType::Caption:
        return QStringLiteral("the caption module");
    default:
        return clsKYR::StreamText(stream);
    }
}

// A stream that puts data into the video: its module's encoding streams, and
// the bridge's output where it inserts into VANC.
struct Inserter
{
    int stream = 0;
    int program = 0;
    QString module; // streams of one module share it
    QString text;   // "the transparent module on 2001"
    std::array<qint32, 2> lines{};
    QString channel;
    int did = 0;
    int sdid = 0;
};

std::vector<Inserter> inserters(const clsKYR &kyr)
{
    std::vector<Inserter> out;
    for (int s = 0; s < clsKYR::StreamSlots; ++s) {
        const int type = typeOf(kyr, s);
        bool inserts = false;
        if (type == ModuleType::Transparent || type == ModuleType::Constant || type == ModuleType::Caption)
            inserts = encodes(kyr, s);
        else if (type == ModuleType::Bridging)
            inserts = s == StreamSlot::OUTBRIDGE1 && encodes(kyr, s) &&
                      kyr.str(StreamSlot::INBRIDGE1, StrRow::BridgeType).toInt() == 0; // WST into VANC
        if (!inserts)
            continue;
        Inserter i;
        i.stream = s;
        i.program = programOf(kyr, s);
        // A caption module's ports insert together, with the same identifiers.
        i.module = type == ModuleType::Caption ? QStringLiteral("caption %1").arg(i.program) : clsKYR::StreamText(s);
        i.text = moduleText(kyr, s);
        i.lines = {kyr.str(s, StrRow::InsertLinesF1).toInt(), kyr.str(s, StrRow::InsertLinesF2).toInt()};
        i.channel = kyr.sSTR(s, StrRow::DataChannel);
        i.did = kyr.str(s, StrRow::Did).toInt();
        i.sdid = kyr.str(s, StrRow::SDid).toInt();
        out.push_back(i);
    }
    return out;
}

QString hexByte(int value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

QString linesText(qint32 mask)
{
    const QString lines = clsKYR::LineNumbers(mask);
    return (lines.contains(u',') ? QStringLiteral("lines ") : QStringLiteral("line ")) + lines;
}

QString channelText(const QString &channel)
{
    return channel == QLatin1String("C") ? QStringLiteral("chroma") : QStringLiteral("luma");
}

QString addressText(quint32 a)
{
    return QStringLiteral("%1.%2.%3.%4").arg(a >> 24).arg((a >> 16) & 255).arg((a >> 8) & 255).arg(a & 255);
}

// The video standard that decides a program's lines, as the line caution
// rule finds it: the requested format, or the detected one for "any SD" and
// "any HD".
int standardOf(const clsKYR &kyr, int program)
{
    const int requested = kyr.pgm(program, PgmRow::RequestedVideoMode).toInt();
    return requested == 1 || requested == 4 ? kyr.pgm(program, PgmRow::VideoMode).toInt() : requested;
}

} // namespace

namespace SetupChecks {

QStringList Run(const clsKYR &kyr)
{
    QStringList findings;
    for (auto rule : {SameLine, LineNotInVideo, NoLine, UnknownVideo, CaptionFeedsNothing, BroadcastOutsideNetwork,
                      LanPorts, ProgramMissing, ModuleLimits, Bridge})
        findings += rule(kyr);
    return findings;
}

QStringList SameLine(const clsKYR &kyr)
{
    QStringList findings;
    const std::vector<Inserter> all = inserters(kyr);
    QStringList reported; // module pairs already named, per field
    for (size_t a = 0; a < all.size(); ++a) {
        for (size_t b = a + 1; b < all.size(); ++b) {
            const Inserter &x = all[a], &y = all[b];
            if (x.module == y.module || x.program != y.program || x.channel != y.channel || x.did != y.did ||
                x.sdid != y.sdid)
                continue;
            for (int field = 0; field < 2; ++field) {
                const qint32 common = x.lines[size_t(field)] & y.lines[size_t(field)] & kLines;
                const QString pair = x.module + u'|' + y.module + u'|' + QString::number(field);
                if (!common || reported.contains(pair))
                    continue;
                reported << pair;
                findings << QStringLiteral("Program %1: %2 and %3 both insert on %4 of field %5 in %6 with DID %7 "
                                           "and SDID %8; the data of one overwrites the other's.")
                                .arg(x.program)
                                .arg(x.text, y.text, linesText(common))
                                .arg(field + 1)
                                .arg(channelText(x.channel), hexByte(x.did), hexByte(x.sdid));
            }
        }
    }
    return findings;
}

QStringList LineNotInVideo(const clsKYR &kyr)
{
    QStringList findings;
    QStringList reported;
    for (const Inserter &i : inserters(kyr)) {
        if (i.program < 1 || i.program > clsKYR::ProgramSlots)
            continue;
        const int program = i.program - 1;
        for (int field = 0; field < 2; ++field) {
            qint32 invalid = 0;
            QString validLines;
            for (int line = 1; line <= 25; ++line) {
                if (!(i.lines[size_t(field)] & clsKYR::InsertLines(line)))
                    continue;
                const QString caution = kyr.ValidLine(program, line);
                if (!caution.contains(QLatin1String(" is not a valid line number")))
                    continue;
                invalid |= clsKYR::InsertLines(line);
                // "Valid lines are 10 to 19.  It is suggested ..."
                const qsizetype at = caution.indexOf(QLatin1String("Valid lines are "));
                validLines = caution.mid(at, caution.indexOf(u'.', at) - at);
            }
            const QString key = i.module + u'|' + QString::number(field);
            if (!invalid || reported.contains(key))
                continue;
            reported << key;
            findings << QStringLiteral("Program %1: %2 inserts on %3 of field %4, which %5 video does not carry (%6).")
                            .arg(i.program)
                            .arg(i.text, linesText(invalid))
                            .arg(field + 1)
                            .arg(clsKYR::VideoName(standardOf(kyr, program), false), validLines.toLower());
        }
    }
    return findings;
}

QStringList NoLine(const clsKYR &kyr)
{
    QStringList findings;
    QStringList reported;
    for (const Inserter &i : inserters(kyr)) {
        if (((i.lines[0] | i.lines[1]) & kLines) || reported.contains(i.module))
            continue;
        reported << i.module;
        findings << QStringLiteral("Program %1: %2 inserts on no line, in either field.").arg(i.program).arg(i.text);
    }
    return findings;
}

QStringList UnknownVideo(const clsKYR &kyr)
{
    QStringList findings;
    const int programs = qBound(1, kyr.KYR(KyrRow::ProgramCount).toInt(), clsKYR::ProgramSlots);
    for (int p = 0; p < programs; ++p) {
        const double requested = kyr.pgm(p, PgmRow::RequestedVideoMode).toDouble();
        if (requested >= 0 && requested <= 14 && requested == std::trunc(requested))
            continue;
        findings << QStringLiteral("Program %1 requests video format %2, which the encoder does not know.")
                        .arg(p + 1)
                        .arg(kyr.sPGM(p, PgmRow::RequestedVideoMode));
    }
    return findings;
}

QStringList CaptionFeedsNothing(const clsKYR &kyr)
{
    static const char *const kPorts[] = {"primary", "secondary", "XDS"};
    QStringList findings;
    for (int s = 0; s < clsKYR::StreamSlots; ++s) {
        if (typeOf(kyr, s) != ModuleType::Caption || !encodes(kyr, s))
            continue;
        const int mode = kyr.str(s, StrRow::Mode).toInt();
        // A field-marked input carries its captions as they are, unmapped.
        if (mode < 0 || mode > 2 || kyr.str(s, StrRow::DataType).toInt() == 2)
            continue;
        bool feeds = false;
        for (int row = StrRow::C1To608; row <= StrRow::C4To708; ++row)
            feeds = feeds || kyr.str(s, row).toDouble() != 0;
        if (feeds)
            continue;
        findings << QStringLiteral("Program %1: the caption module's %2 port (%3) feeds no output: its service "
                                   "mapping connects nothing, so what arrives there is not inserted.")
                        .arg(programOf(kyr, s))
                        .arg(QLatin1String(kPorts[mode]), kyr.Stream2Name(s));
    }
    return findings;
}

bool ParseAddress(const QString &text, quint32 &address)
{
    const QStringList parts = text.trimmed().split(u'.');
    if (parts.size() != 4)
        return false;
    address = 0;
    for (const QString &part : parts) {
        bool ok = false;
        const uint octet = part.toUInt(&ok);
        if (!ok || part.isEmpty() || part.size() > 3 || octet > 255 || !part.front().isDigit())
            return false;
        address = (address << 8) | octet;
    }
    return true;
}

QStringList BroadcastOutsideNetwork(const clsKYR &kyr)
{
    if (kyr.KYR(KyrRow::DHCP).toDouble() != 0)
        return {}; // the DHCP server gives the addresses
    quint32 ip = 0, mask = 0, broadcast = 0;
    if (!ParseAddress(kyr.sKYR(KyrRow::IpNum), ip) || !ParseAddress(kyr.sKYR(KyrRow::Netmask), mask))
        return {};
    const QString text = kyr.sKYR(KyrRow::Broadcast);
    if (!ParseAddress(text, broadcast))
        return {QStringLiteral("The broadcast address \"%1\" is no address; the save sends it as it is (it is not "
                               "shown or edited here).")
                    .arg(text)};
    const quint32 network = ip | ~mask;
    if (broadcast == network || broadcast == 0xFFFFFFFFu)
        return {};
    return {QStringLiteral("The broadcast address %1 does not belong to the address %2 with netmask %3 (that "
                           "network's is %4); the save sends it as it is (it is not shown or edited here).")
                .arg(addressText(broadcast), addressText(ip), addressText(mask), addressText(network))};
}

QStringList LanPorts(const clsKYR &kyr)
{
    QStringList findings;
    std::map<double, QStringList> users;
    for (int s = StreamSlot::LAN1; s <= StreamSlot::LAN8; ++s) {
        if (typeOf(kyr, s) == ModuleType::Free)
            continue;
        const double port = kyr.str(s, StrRow::PortAddr).toDouble();
        if (port < 1 || port > 65535 || port != std::trunc(port))
            findings << QStringLiteral("%1 uses LAN port %2, which is no TCP port (1 to 65535).")
                            .arg(clsKYR::StreamText(s), kyr.sSTR(s, StrRow::PortAddr));
        else if (port == kSetupPort)
            findings << QStringLiteral("%1 uses LAN port 1080, the port on which the encoder is set up.")
                            .arg(clsKYR::StreamText(s));
        else
            users[port] << clsKYR::StreamText(s);
    }
    for (const auto &[port, streams] : users) {
        if (streams.size() == 2)
            findings << QStringLiteral("%1 and %2 both use LAN port %3; only one of them can receive on it.")
                            .arg(streams[0], streams[1])
                            .arg(port);
        else if (streams.size() > 2)
            findings << QStringLiteral("%1 and %2 all use LAN port %3; only one of them can receive on it.")
                            .arg(streams.mid(0, streams.size() - 1).join(QStringLiteral(", ")), streams.last())
                            .arg(port);
    }
    return findings;
}

QStringList ProgramMissing(const clsKYR &kyr)
{
    QStringList findings;
    const int programs = kyr.KYR(KyrRow::ProgramCount).toInt();
    QStringList reported;
    for (int s = 0; s < clsKYR::StreamSlots; ++s) {
        if (typeOf(kyr, s) == ModuleType::Free)
            continue;
        const int program = programOf(kyr, s);
        if (program >= 1 && program <= qMin(programs, int(clsKYR::ProgramSlots)))
            continue;
        const QString text = moduleText(kyr, s);
        if (reported.contains(text + QString::number(program)))
            continue;
        reported << text + QString::number(program);
        findings << QStringLiteral("%1 (%2) is on program %3, which this encoder does not have (it has %4).")
                        .arg(text, clsKYR::StreamText(s), kyr.sSTR(s, StrRow::Program),
                             programs == 1 ? QStringLiteral("1 program") : QStringLiteral("%1 programs").arg(programs));
    }
    for (QString &f : findings)
        f[0] = f[0].toUpper();
    return findings;
}

QStringList ModuleLimits(const clsKYR &kyr)
{
    int transparent = 0, caption = 0, constant = 0;
    for (int s = 0; s < clsKYR::StreamSlots; ++s) {
        const int type = typeOf(kyr, s);
        transparent += type == ModuleType::Transparent;
        constant += type == ModuleType::Constant;
        caption += type == ModuleType::Caption && encodes(kyr, s) && kyr.str(s, StrRow::Mode).toDouble() == 0;
    }
    const int bridging = typeOf(kyr, StreamSlot::INBRIDGE1) == ModuleType::Bridging ||
                         typeOf(kyr, StreamSlot::OUTBRIDGE1) == ModuleType::Bridging;
    QStringList findings;
    const struct
    {
        int count;
        int limitRow;
        int type;
    } kinds[] = {{transparent, KyrRow::TransparentStreams, ModuleType::Transparent},
                 {caption, KyrRow::CaptionStreams, ModuleType::Caption},
                 {constant, KyrRow::ConstantStreams, ModuleType::Constant},
                 {bridging, KyrRow::BridgingStreams, ModuleType::Bridging}};
    for (const auto &kind : kinds) {
        const double limit = kyr.KYR(kind.limitRow).toDouble();
        if (kind.count > limit)
            findings << QStringLiteral("%1 %2 modules are set up, but the encoder takes %3.")
                            .arg(kind.count)
                            .arg(ModuleKind(kind.type), kyr.sKYR(kind.limitRow));
    }
    return findings;
}

QStringList Bridge(const clsKYR &kyr)
{
    const bool in = typeOf(kyr, StreamSlot::INBRIDGE1) == ModuleType::Bridging;
    const bool out = typeOf(kyr, StreamSlot::OUTBRIDGE1) == ModuleType::Bridging;
    if (!in && !out)
        return {};
    if (!SavesSection(kyr, Section::Str, StreamSlot::INBRIDGE1))
        return {QStringLiteral("The bridging module cannot be saved: an encoder of revision %1 takes no bridge, so "
                               "the save leaves it out.")
                    .arg(kyr.sKYR(KyrRow::Rev))};
    if (in != out)
        return {QStringLiteral("The bridging module is incomplete: %1 is set up as a bridge but %2 is not.")
                    .arg(clsKYR::StreamText(in ? StreamSlot::INBRIDGE1 : StreamSlot::OUTBRIDGE1),
                         clsKYR::StreamText(in ? StreamSlot::OUTBRIDGE1 : StreamSlot::INBRIDGE1))};
    if (programOf(kyr, StreamSlot::INBRIDGE1) == programOf(kyr, StreamSlot::OUTBRIDGE1))
        return {QStringLiteral("The bridging module takes its data from program %1 and inserts it into the same "
                               "program; a bridge joins two programs.")
                    .arg(programOf(kyr, StreamSlot::INBRIDGE1))};
    return {};
}

} // namespace SetupChecks
