#include "clsReport.h"

#include "clsKYR.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace {

const QLatin1String kCrLf("\r\n");
// Continuation lines of a multi-line section-level value.
const QString kSectionIndent(27, u' ');
const QString kStreamIndent(20, u' ');

void line(QString &out, const QString &text)
{
    out += text;
    out += kCrLf;
}

QString clean(QString text)
{
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

enum MapGroup { CcTo608, Xds, CcTo708, Upstream };

// The text of one mapping row: its number n within the group, its value and
// the value's text form.
QString mapText(MapGroup group, int n, double value, const QString &valueText)
{
    const bool none = value == 0;
    const QString num = QString::number(n);
    switch (group) {
    case CcTo608:
        return none ? QStringLiteral("CC%1 No Map").arg(num) : QStringLiteral("CC%1 To CC").arg(num) + valueText;
    case Xds:
        return none ? QStringLiteral("XDS No Map") : QStringLiteral("XDS To XDS");
    case CcTo708:
        return none ? QStringLiteral("CC%1 No Map").arg(num) : QStringLiteral("CC%1 To  S").arg(num) + valueText;
    case Upstream:
        return none ? QStringLiteral("S%1  No Map").arg(num) : QStringLiteral("S%1  To  S").arg(num) + valueText;
    }
    return {};
}

// A date or time in the locale's own short form when the report's Latin-1
// can hold it (other spaces become plain ones, direction marks are left
// out), otherwise in the numeric form given, which it always can.
QString stampText(const QString &localised, const QString &numeric)
{
    QString text;
    for (const QChar c : localised) {
        if (c.category() == QChar::Other_Format)
            continue;
        text += c.isSpace() ? QChar(u' ') : c;
    }
    for (const QChar c : text) {
        if (c.unicode() > 0xff)
            return numeric;
    }
    return text;
}

} // namespace

QString clsReport::UnknownText(const QString &value)
{
    return QStringLiteral("Unknown (%1)").arg(value);
}

QString clsReport::K(int row) const
{
    return clean(kyr.sKYR(row));
}
QString clsReport::P(int program, int row) const
{
    return clean(kyr.sPGM(program, row));
}
QString clsReport::C(int caption, int row) const
{
    return clean(kyr.sCAP(caption, row));
}
QString clsReport::S(int stream, int row) const
{
    return clean(kyr.sSTR(stream, row));
}
double clsReport::SN(int stream, int row) const
{
    return kyr.str(stream, row).toDouble();
}

QString clsReport::Named(int stream, int row, std::initializer_list<const char *> names) const
{
    const double v = SN(stream, row);
    if (v >= 0 && v < static_cast<double>(names.size()) && v == std::floor(v))
        return QString::fromLatin1(names.begin()[static_cast<size_t>(v)]);
    return UnknownText(S(stream, row));
}

QString clsReport::CaptionMapText(int caption, int row) const
{
    const double v = kyr.ccd(caption, row).toDouble();
    if (row >= CapRow::C1To608 && row <= CapRow::C4To608)
        return mapText(CcTo608, row - CapRow::C1To608 + 1, v, C(caption, row));
    if (row == CapRow::XDSEnabled)
        return mapText(Xds, 0, v, {});
    if (row >= CapRow::C1To708 && row <= CapRow::C4To708)
        return mapText(CcTo708, row - CapRow::C1To708 + 1, v, C(caption, row));
    if (row >= CapRow::UpstreamS1 && row <= CapRow::UpstreamS6)
        return mapText(Upstream, row - CapRow::UpstreamS1 + 1, v, C(caption, row));
    return {};
}

QString clsReport::StreamMapText(int stream, int row) const
{
    const double v = SN(stream, row);
    if (row >= StrRow::C1To608 && row <= StrRow::C4To608)
        return mapText(CcTo608, row - StrRow::C1To608 + 1, v, S(stream, row));
    if (row == StrRow::XDSEnabled)
        return mapText(Xds, 0, v, {});
    if (row >= StrRow::C1To708 && row <= StrRow::C4To708)
        return mapText(CcTo708, row - StrRow::C1To708 + 1, v, S(stream, row));
    return {};
}

QString clsReport::ReservedText(int program, int channel) const
{
    const int maskRow = channel == Chroma ? PgmRow::AddToCLines : PgmRow::AddToLLines;
    const qint32 mask = kyr.pgm(program, maskRow).toInt();
    QString text;
    for (int n = 1; n <= 25; ++n) {
        if (!(mask & clsKYR::InsertLines(n)))
            continue;
        text += u'L' + QString::number(n) + u'-' + P(program, PgmRow::LineCfg(channel, n, 1)) + u',' +
                P(program, PgmRow::LineCfg(channel, n, 2)) + u' ';
    }
    return text;
}

QString clsReport::LanguageText(int caption, int row) const
{
    QString name;
    int easyRow = 0;
    if (row == CapRow::Language608F1 || row == CapRow::Language608F2) {
        name = row == CapRow::Language608F1 ? QStringLiteral("608F1") : QStringLiteral("608F2");
        easyRow = row - CapRow::Language608F1 + CapRow::EasyReader608F1;
    } else if (row >= CapRow::Language708S1 && row <= CapRow::Language708S6) {
        name = u'S' + QString::number(row - CapRow::Language708S1 + 1);
        easyRow = row - CapRow::Language708S1 + CapRow::EasyReader708S1;
    } else {
        return {};
    }
    const QString language = C(caption, row);
    if (language.isEmpty())
        return name + QStringLiteral(" is not set");
    const bool easy = kyr.ccd(caption, easyRow).toDouble() == 1;
    return name + QStringLiteral(" is ") + language + QStringLiteral(", Easy Reader is ") +
           (easy ? QStringLiteral("True") : QStringLiteral("False"));
}

void clsReport::Header(QString &out, const QDateTime &now, const QLocale &locale) const
{
    const QLocale c = QLocale::c();
    line(out, QStringLiteral("KYR7 Configuration"));
    line(out, {});
    line(out, QStringLiteral("KYR7Set V" KYR7_VERSION));
    line(out, QStringLiteral("Saved:  ") +
                  stampText(locale.toString(now.time(), QLocale::ShortFormat), c.toString(now.time(), u"HH:mm")) +
                  u' ' +
                  stampText(locale.toString(now.date(), QLocale::ShortFormat), c.toString(now.date(), u"yyyy-MM-dd")));
    line(out, {});
    line(out, QStringLiteral("KYR7 Encoder"));
    line(out, QStringLiteral("    Software Part Number:  ") + K(KyrRow::Software) + QStringLiteral(" Rev. ") +
                  K(KyrRow::Rev));
    line(out, QStringLiteral("           Serial Number:  ") + K(KyrRow::SerialNumber));
    line(out, QStringLiteral("              IP Address:  ") + K(KyrRow::IpNum));
    line(out, QStringLiteral("                 NetMask:  ") + K(KyrRow::Netmask));
    line(out, QStringLiteral("                 Gateway:  ") + K(KyrRow::Gateway));
    line(out, kyr.KYR(KyrRow::DHCP).toDouble() == 0 ? QStringLiteral("                    DHCP:  OFF")
                                                    : QStringLiteral("                    DHCP:  ON"));
    line(out, QStringLiteral("      Number of Programs:  ") + K(KyrRow::ProgramCount));
    line(out, QStringLiteral("     Transparent Modules:  ") + K(KyrRow::TransparentStreams));
    line(out, QStringLiteral("         Caption Modules:  ") + K(KyrRow::CaptionStreams));
    line(out, QStringLiteral("  Broadcast Flag Modules:  ") + K(KyrRow::BfStreams));
    line(out, QStringLiteral("   Constant Data Modules:  ") + K(KyrRow::ConstantStreams));
    line(out, QStringLiteral("        Bridging Modules:  ") + K(KyrRow::BridgingStreams));
    line(out, {});
}

void clsReport::ProgramBlock(QString &out, int p) const
{
    auto joined = [&](int first, int last) {
        QStringList parts;
        for (int r = first; r <= last; ++r)
            parts << CaptionMapText(p, r);
        return parts.join(QLatin1String(", "));
    };
    line(out, QStringLiteral("Program %1").arg(p + 1));
    line(out, QStringLiteral("   Video Format, Current:  ") +
                  clsKYR::VideoName(kyr.pgm(p, PgmRow::VideoMode).toInt(), false));
    line(out, QStringLiteral("               Requested:  ") +
                  clsKYR::VideoName(kyr.pgm(p, PgmRow::RequestedVideoMode).toInt(), true));
    line(out,
         QStringLiteral(" Append to Lines, Chroma:  ") + clsKYR::LineNumbers(kyr.pgm(p, PgmRow::AddToCLines).toInt()));
    line(out,
         QStringLiteral("                    Luma:  ") + clsKYR::LineNumbers(kyr.pgm(p, PgmRow::AddToLLines).toInt()));
    line(out, QStringLiteral("  Bytes Reserved, Chroma:  ") + ReservedText(p, Chroma));
    line(out, QStringLiteral("                    Luma:  ") + ReservedText(p, Luma));
    line(out, QStringLiteral(" CC Input 608 Map To 608:  ") + joined(CapRow::C1To608, CapRow::XDSEnabled));
    line(out, QStringLiteral(" CC Input 608 Map To 708:  ") + joined(CapRow::C1To708, CapRow::C4To708));
    line(out, QStringLiteral(" CC Input 708 Map To 708:  ") + joined(CapRow::UpstreamS1, CapRow::UpstreamS6));
    line(out, QStringLiteral("        Caption Language:  ") + LanguageText(p, CapRow::Language708S1));
    // The 708 services first, then the two 608 fields.
    for (int r : {CapRow::Language708S2, CapRow::Language708S3, CapRow::Language708S4, CapRow::Language708S5,
                  CapRow::Language708S6, CapRow::Language608F1, CapRow::Language608F2})
        line(out, kSectionIndent + LanguageText(p, r));
    line(out, QStringLiteral("          Broadcast Flag:  ") + clsKYR::BF2Text(kyr.ccd(p, CapRow::RCControl).toInt()));
    line(out, {});
}

void clsReport::CommonLines(QString &out, int s) const
{
    line(out, QStringLiteral("              DID:  ") + S(s, StrRow::Did));
    line(out, QStringLiteral("             SDID:  ") + S(s, StrRow::SDid));
    line(out, S(s, StrRow::DataChannel) == QLatin1String("C") ? QStringLiteral("     Data Channel:  Chroma")
                                                              : QStringLiteral("     Data Channel:  Luma"));
    line(out, QStringLiteral("  Insert Lines F1:  ") + clsKYR::LineNumbers(kyr.str(s, StrRow::InsertLinesF1).toInt()));
    line(out, QStringLiteral("  Insert Lines F2:  ") + clsKYR::LineNumbers(kyr.str(s, StrRow::InsertLinesF2).toInt()));
}

void clsReport::TransparentLines(QString &out, int s) const
{
    line(out, QStringLiteral("      Stream Type:  Transparent Module on Program ") + S(s, StrRow::Program));
    line(out, SN(s, StrRow::FieldIndicator) == 1 ? QStringLiteral("  Field Indicator:  True")
                                                 : QStringLiteral("  Field Indicator:  False"));
    CommonLines(out, s);
    line(out, QStringLiteral("        Data Type:  ") + Named(s, StrRow::DataType,
                                                             {"Custom", "Byte Mode", "High Capacity", "Audio Metadata",
                                                              "Caption CDP", "Subtitle SDP", "Custom"}));
    if (S(s, StrRow::Direction) == QLatin1String("D")) {
        line(out, QStringLiteral("        Direction:  Decode"));
        return;
    }
    line(out, QStringLiteral("        Direction:  Encode"));
    const double dataType = SN(s, StrRow::DataType);
    if (dataType == 0 || dataType == 1 || dataType == 2) {
        line(out, QStringLiteral("       Input Mode:  Byte"));
        line(out, QStringLiteral("       Vanc Flush:  ") +
                      Named(s, StrRow::VancBufferFlush, {"None", "On Field 1", "On Field 2", "On Both Fields"}));
        line(out, QStringLiteral("    Timeout Flush:  ") +
                      Named(s, StrRow::TimedBufferFlush, {"None", "After 1 Field", "After 2 Fields"}));
        line(out, QStringLiteral("       Data Count:  ") + S(s, StrRow::DataCountF1) + QStringLiteral(" Field 1"));
        line(out, kStreamIndent + S(s, StrRow::DataCountF2) + QStringLiteral(" Field 2"));
    } else if (dataType == 4 || dataType == 5 || dataType == 6) {
        line(out, QStringLiteral("       Input Mode:  Packet"));
        line(out, QStringLiteral("        Packet ID:  ") + S(s, StrRow::HeaderId1) + QStringLiteral(", ") +
                      S(s, StrRow::HeaderId2));
    }
}

void clsReport::CaptionLines(QString &out, int s) const
{
    const QString program = S(s, StrRow::Program);
    if (S(s, StrRow::Direction) != QLatin1String("E")) {
        if ((kyr.str(s, StrRow::Mode).toInt() & 0xF) != 1) {
            line(out, QStringLiteral("      Stream Type:  Caption Decoder (DTVCC 708 Out) on Program") + program);
            CommonLines(out, s);
            const double dataType = SN(s, StrRow::DataType);
            line(out, QStringLiteral("         Protocol:  ") + (dataType == 3   ? QStringLiteral("Push")
                                                                : dataType == 4 ? QStringLiteral("SMPTE 333")
                                                                                : UnknownText(S(s, StrRow::DataType))));
            line(out, QStringLiteral("      Frame Delay:  ") + S(s, StrRow::FrameDelay));
        } else {
            line(out, QStringLiteral("      Stream Type:  Caption Decoder (NTSC 608 Out) on Program") + program);
            CommonLines(out, s);
        }
        return;
    }
    const double mode = SN(s, StrRow::Mode);
    if (mode == 0)
        line(out, QStringLiteral("      Stream Type:  Captioning Module (Primary) on Program") + program);
    else if (mode == 1)
        line(out, QStringLiteral("      Stream Type:  Captioning Module (Secondary) on Program ") + program);
    else if (mode == 2)
        line(out, QStringLiteral("      Stream Type:  Captioning Module (XDS) on Program ") + program);
    CommonLines(out, s);
    line(out, SN(s, StrRow::Echo) != 0 ? QStringLiteral("    Echo Commands:  On")
                                       : QStringLiteral("    Echo Commands:  Off"));
    const double dataType = SN(s, StrRow::DataType);
    line(out, dataType == 2 ? QStringLiteral("       Input Mode:  Field Marked")
                            : QStringLiteral("       Input Mode:  Caption Server"));
    if (dataType == 0) {
        QStringList to608, to708;
        for (int r = StrRow::C1To608; r <= StrRow::XDSEnabled; ++r)
            to608 << StreamMapText(s, r);
        for (int r = StrRow::C1To708; r <= StrRow::C4To708; ++r)
            to708 << StreamMapText(s, r);
        line(out, QStringLiteral("   Mapping To 608:  ") + to608.join(QLatin1String(", ")));
        line(out, QStringLiteral("   Mapping To 708:  ") + to708.join(QLatin1String(", ")));
    }
}

void clsReport::StreamBlock(QString &out, int s) const
{
    line(out, clsKYR::StreamText(s));
    const qint32 type = kyr.str(s, StrRow::StreamType).toInt();
    switch (type) {
    case 0:
        line(out, QStringLiteral("      Stream Type:  Unused"));
        break;
    case 1:
        TransparentLines(out, s);
        break;
    case 2:
        line(out, QStringLiteral("      Stream Type:  Constant Data Module on Program ") + S(s, StrRow::Program));
        CommonLines(out, s);
        line(out, QStringLiteral("        Data File:  ") + S(s, StrRow::FileName));
        line(out, SN(s, StrRow::ConditionalInsertion) == 1 ? QStringLiteral("        Conditional Insertion:  True")
                                                           : QStringLiteral("        Conditional Insertion:  False"));
        break;
    case 16:
        CaptionLines(out, s);
        break;
    default:
        break;
    }
    if (s >= StreamSlot::LAN1 && s <= StreamSlot::LAN8)
        line(out, QStringLiteral("         LAN Port:  ") + S(s, StrRow::PortAddr));
    if (s <= StreamSlot::MODEM && type != 0) {
        const std::initializer_list<const char *> flow = {"None", "Software", "Hardware"};
        line(out, QStringLiteral("         Baudrate:  ") + S(s, StrRow::Baud));
        line(out, QStringLiteral("        Data Bits:  ") + S(s, StrRow::WordSize));
        line(out, QStringLiteral("           Parity:  ") + S(s, StrRow::Parity));
        line(out, QStringLiteral("        Stop Bits:  ") + S(s, StrRow::StopBits));
        line(out, QStringLiteral("  RX Flow Control:  ") + Named(s, StrRow::RxFlowCtrl, flow));
        line(out, QStringLiteral("  TX Flow Control:  ") + Named(s, StrRow::TxFlowCtrl, flow));
    }
    line(out, {});
}

QString clsReport::Text(const QDateTime &now, const QLocale &locale) const
{
    QString out;
    Header(out, now, locale);
    ProgramBlock(out, 0);
    if (kyr.KYR(KyrRow::ProgramCount).toDouble() > 1)
        ProgramBlock(out, 1);
    for (int s = 0; s < clsKYR::StreamSlots; ++s)
        StreamBlock(out, s);
    return out;
}
