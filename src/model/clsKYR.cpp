#include "clsKYR.h"

#include <QHash>
#include <QSettings>

#include <stdexcept>

namespace {

std::vector<ParamDef> makeKyrTable()
{
    return {
        {KindText, "ID", "KYR7"},
        {KindText, "SerialNumber", "12345"},
        {KindText, "Software", "36-47215-01"},
        {KindText, "Rev", "G"},
        {KindText, "VersionRequired", "1.0"},
        {KindText, "PartRequired", "47215RC"},
        {KindText, "VersionSuggested", "1.7"},
        {KindText, "PartSuggested", "47215RG"},
        {KindDecimal, "ProgramCount", "2"},
        {KindDecimal, "TransparentStreams", "3"},
        {KindDecimal, "CaptionStreams", "2"},
        {KindDecimal, "BfStreams", "2"},
        {KindDecimal, "ConstantStreams", "2"},
        {KindDecimal, "BridgingStreams", "1"},
        {KindText, "IpNum", "192.168.0.1"},
        {KindText, "Broadcast", "255.255.255.255"},
        {KindText, "Netmask", "255.255.255.0"},
        {KindText, "Gateway", "10.65.0.1"},
        {KindDecimal, "DHCP", "0"},
    };
}

std::vector<ParamDef> makePgmTable()
{
    std::vector<ParamDef> t = {
        {KindDecimal, "VideoMode", "8"},
        {KindDecimal, "RequestedVideoMode", "0"},
        {KindHexLong, "AddToCLines", "0x00000080"},
        {KindHexLong, "AddToLLines", "0x00000080"},
    };
    for (int channel = 0; channel < 2; ++channel) {
        for (int field = 1; field <= 2; ++field) {
            for (int line = 1; line <= 25; ++line) {
                t.push_back({KindDecimal,
                             QStringLiteral("LineCfg%1%2F%3")
                                 .arg(channel == 0 ? QStringLiteral("C") : QStringLiteral("L"))
                                 .arg(line)
                                 .arg(field),
                             "0"});
            }
        }
    }
    return t;
}

std::vector<ParamDef> makeCapTable()
{
    std::vector<ParamDef> t = {
        {KindDecimal, "OverwriteUpstream", "1"},
        {KindDecimal, "Services", "1"},
        {KindDecimal, "C1To608", "1"},
        {KindDecimal, "C2To608", "2"},
        {KindDecimal, "C3To608", "3"},
        {KindDecimal, "C4To608", "4"},
        {KindDecimal, "XDSEnabled", "1"},
        {KindDecimal, "C1To708", "1"},
        {KindDecimal, "C2To708", "2"},
        {KindDecimal, "C3To708", "3"},
        {KindDecimal, "C4To708", "4"},
    };
    for (int k = 1; k <= 6; ++k)
        t.push_back({KindDecimal, QStringLiteral("UpstreamS%1").arg(k), QString::number(k)});
    t.push_back({KindText, "Language608F1", "eng"});
    t.push_back({KindText, "Language608F2", "eng"});
    for (int k = 1; k <= 6; ++k)
        t.push_back({KindText, QStringLiteral("Language708S%1").arg(k), "eng"});
    t.push_back({KindDecimal, "EasyReader608F1", "0"});
    t.push_back({KindDecimal, "EasyReader608F2", "0"});
    for (int k = 1; k <= 6; ++k)
        t.push_back({KindDecimal, QStringLiteral("EasyReader708S%1").arg(k), "0"});
    t.push_back({KindDecimal, "RCControl", "0"});
    return t;
}

std::vector<ParamDef> makeStrTable()
{
    return {
        {KindHexWord, "StreamType", "0x0000"},
        {KindDecimal, "Program", "1"},
        {KindText, "Direction", "E"},
        {KindText, "DataChannel", "C"},
        {KindHexLong, "InsertLinesF1", "0x00000080"},
        {KindHexLong, "InsertLinesF2", "0x00000080"},
        {KindHexByte, "Did", "0x51"},
        {KindHexByte, "SDid", "0x01"},
        {KindDecimal, "Baud", "9600"},
        {KindDecimal, "WordSize", "8"},
        {KindText, "Parity", "N"},
        {KindDecimal, "StopBits", "1"},
        {KindDecimal, "TxFlowCtrl", "0"},
        {KindDecimal, "RxFlowCtrl", "0"},
        {KindDecimal, "PortAddr", "2000"},
        {KindDecimal, "DataType", "0"},
        {KindDecimal, "Mode", "0"},
        {KindDecimal, "Echo", "0"},
        {KindDecimal, "FieldIndicator", "0"},
        {KindDecimal, "C1To608", "1"},
        {KindDecimal, "C2To608", "2"},
        {KindDecimal, "C3To608", "3"},
        {KindDecimal, "C4To608", "4"},
        {KindDecimal, "XDSEnabled", "1"},
        {KindDecimal, "C1To708", "1"},
        {KindDecimal, "C2To708", "3"},
        {KindDecimal, "C3To708", "2"},
        {KindDecimal, "C4To708", "4"},
        {KindDecimal, "FlushBytes", "0"},
        {KindDecimal, "FrameDelay", "0"},
        {KindDecimal, "DataCountF1", "100"},
        {KindDecimal, "DataCountF2", "50"},
        {KindHexByte, "HeaderId1", "0x15"},
        {KindHexByte, "HeaderId2", "0x12"},
        {KindHexByte, "FooterId", "0x12"},
        {KindDecimal, "FooterSize", "3"},
        {KindDecimal, "TimedBufferFlush", "3"},
        {KindDecimal, "VancBufferFlush", "3"},
        {KindText, "FileName", "metadata_stereo"},
        {KindDecimal, "ConditionalInsertion", "0"},
        {KindDecimal, "BridgeType", "0"},
        {KindDecimal, "ModemPresent", "0"},
        {KindText, "ModemInit", "ATZ"},
        {KindDecimal, "DisconnectProcessing", "0"},
        {KindDecimal, "transMode", "0"},
        {KindDecimal, "transTimeout", "0"},
    };
}

struct Tables
{
    std::vector<ParamDef> defs[4];
    QHash<QString, int> rowByUpperName[4];

    Tables()
    {
        defs[0] = makeKyrTable();
        defs[1] = makePgmTable();
        defs[2] = makeCapTable();
        defs[3] = makeStrTable();
        for (int k = 0; k < 4; ++k) {
            for (int row = static_cast<int>(defs[k].size()) - 1; row >= 0; --row)
                rowByUpperName[k].insert(defs[k][row].Name.toUpper(), row);
        }
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

int index(Section s)
{
    return static_cast<int>(s);
}

const QString kStreamNames[] = {
    "PORTA", "PORTB", "PORTC", "MODEM", "LAN1", "LAN2", "LAN3", "LAN4", "LAN5",
    "LAN6", "LAN7", "LAN8", "FILE1", "FILE2", "BTEST1", "BTEST2", "INBRIDGE1", "OUTBRIDGE1",
};

std::vector<std::vector<KyrValue>> makeStore(Section section)
{
    const auto &defs = clsKYR::Definitions(section);
    const int slotCount = clsKYR::Slots(section);
    std::vector<std::vector<KyrValue>> store(slotCount + 1, std::vector<KyrValue>(defs.size() + 1));
    for (int slot = 0; slot < slotCount; ++slot) {
        for (size_t row = 0; row < defs.size(); ++row) {
            store[slot][row] = defs[row].Kind == KindText ? KyrValue(QString()) : KyrValue(qint32(0));
        }
    }
    return store;
}

int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - '0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - 'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - 'A' + 10;
    return -1;
}

// The hex digits after "0x", up to the first character that is not one;
// empty when the text does not start with "0x" or its length is outside
// [minLength, maxLength].
QStringView hexDigits(const QString &text, int minLength, int maxLength)
{
    if (text.size() < minLength || text.size() > maxLength || !text.startsWith(QLatin1String("0x")))
        return {};
    QStringView digits = QStringView(text).mid(2);
    qsizetype n = 0;
    while (n < digits.size() && hexDigit(digits[n]) >= 0)
        ++n;
    return digits.left(n);
}

quint32 hexValue(QStringView digits)
{
    quint32 v = 0;
    for (QChar c : digits)
        v = v * 16 + static_cast<quint32>(hexDigit(c));
    return v;
}

QString upperHex(quint32 value, int width)
{
    return QString::number(value, 16).toUpper().rightJustified(width, u'0');
}

} // namespace

clsKYR::clsKYR()
    : kyrStore(makeStore(Section::Kyr)), pgmStore(makeStore(Section::Pgm)),
      capStore(makeStore(Section::Cap)), strStore(makeStore(Section::Str))
{
}

const std::vector<ParamDef> &clsKYR::Definitions(Section section)
{
    return tables().defs[index(section)];
}

int clsKYR::Slots(Section section)
{
    switch (section) {
    case Section::Kyr:
        return 1;
    case Section::Pgm:
        return ProgramSlots;
    case Section::Cap:
        return CaptionSlots;
    case Section::Str:
        return StreamSlots;
    }
    return 0;
}

QString clsKYR::SectionName(Section section, int slot)
{
    switch (section) {
    case Section::Kyr:
        return slot == 0 ? CMD(5) : QString();
    case Section::Pgm:
        return ProgramText(slot);
    case Section::Cap:
        return CaptionText(slot);
    case Section::Str:
        return StreamText(slot);
    }
    return {};
}

bool clsKYR::FindSection(const QString &name, Section &section, int &slot)
{
    for (Section s : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str}) {
        for (int k = 0; k < Slots(s); ++k) {
            if (SectionName(s, k) == name) {
                section = s;
                slot = k;
                return true;
            }
        }
    }
    return false;
}

int clsKYR::FindRow(Section section, const QString &name)
{
    return tables().rowByUpperName[index(section)].value(name.toUpper(), -1);
}

std::vector<KyrValue> &clsKYR::store(Section section, int slot)
{
    auto &s = section == Section::Kyr   ? kyrStore
              : section == Section::Pgm ? pgmStore
              : section == Section::Cap ? capStore
                                        : strStore;
    if (slot < 0 || static_cast<size_t>(slot) >= s.size())
        throw std::out_of_range("section slot out of range");
    return s[slot];
}

const std::vector<KyrValue> &clsKYR::store(Section section, int slot) const
{
    return const_cast<clsKYR *>(this)->store(section, slot);
}

KyrValue clsKYR::value(Section section, int slot, int row) const
{
    const auto &s = store(section, slot);
    if (row < 0 || static_cast<size_t>(row) >= s.size())
        throw std::out_of_range("parameter row out of range");
    return s[row];
}

void clsKYR::setValue(Section section, int slot, int row, const KyrValue &v)
{
    auto &s = store(section, slot);
    if (row < 0 || static_cast<size_t>(row) >= s.size())
        throw std::out_of_range("parameter row out of range");
    s[row] = v;
}

namespace {
int kindOf(Section section, int row)
{
    const auto &defs = clsKYR::Definitions(section);
    // The spare row has no definition: kind 0.
    return row >= 0 && static_cast<size_t>(row) < defs.size() ? defs[row].Kind : KindText;
}
} // namespace

QString clsKYR::text(Section section, int slot, int row) const
{
    return ToText(kindOf(section, row), value(section, slot, row));
}

void clsKYR::setText(Section section, int slot, int row, const QString &t)
{
    setValue(section, slot, row, FromText(kindOf(section, row), t));
}

KyrValue clsKYR::KYR(int row) const { return value(Section::Kyr, 0, row); }
void clsKYR::setKYR(int row, const KyrValue &v) { setValue(Section::Kyr, 0, row, v); }
KyrValue clsKYR::pgm(int program, int row) const { return value(Section::Pgm, program, row); }
void clsKYR::setPgm(int program, int row, const KyrValue &v) { setValue(Section::Pgm, program, row, v); }
KyrValue clsKYR::ccd(int caption, int row) const { return value(Section::Cap, caption, row); }
void clsKYR::setCcd(int caption, int row, const KyrValue &v) { setValue(Section::Cap, caption, row, v); }
KyrValue clsKYR::str(int stream, int row) const { return value(Section::Str, stream, row); }
void clsKYR::setStr(int stream, int row, const KyrValue &v) { setValue(Section::Str, stream, row, v); }

QString clsKYR::sKYR(int row) const { return text(Section::Kyr, 0, row); }
void clsKYR::setSKYR(int row, const QString &t) { setText(Section::Kyr, 0, row, t); }
QString clsKYR::sPGM(int program, int row) const { return text(Section::Pgm, program, row); }
void clsKYR::setSPGM(int program, int row, const QString &t) { setText(Section::Pgm, program, row, t); }
QString clsKYR::sCAP(int caption, int row) const { return text(Section::Cap, caption, row); }
void clsKYR::setSCAP(int caption, int row, const QString &t) { setText(Section::Cap, caption, row, t); }
QString clsKYR::sSTR(int stream, int row) const { return text(Section::Str, stream, row); }
void clsKYR::setSSTR(int stream, int row, const QString &t) { setText(Section::Str, stream, row, t); }

namespace {
QString rowName(Section section, int row, int storeRows)
{
    if (row < 0 || row >= storeRows)
        throw std::out_of_range("parameter row out of range");
    const auto &defs = clsKYR::Definitions(section);
    return static_cast<size_t>(row) < defs.size() ? defs[row].Name : QString();
}
} // namespace

QString clsKYR::pKYR(int row) const { return rowName(Section::Kyr, row, KyrRows + 1); }
QString clsKYR::pPGM(int row) const { return rowName(Section::Pgm, row, PgmRows + 1); }
QString clsKYR::pCAP(int row) const { return rowName(Section::Cap, row, CapRows + 1); }
QString clsKYR::pSTR(int row) const { return rowName(Section::Str, row, StrRows + 1); }

QString clsKYR::StreamText(int stream)
{
    if (stream >= 0 && stream < StreamSlots)
        return kStreamNames[stream];
    return {};
}

QString clsKYR::ProgramText(int program)
{
    return program == 0 ? QStringLiteral("PGM1") : program == 1 ? QStringLiteral("PGM2") : QString();
}

QString clsKYR::CaptionText(int caption)
{
    return caption == 0 ? QStringLiteral("CAPPGM1") : caption == 1 ? QStringLiteral("CAPPGM2") : QString();
}

QString clsKYR::CMD(int n)
{
    switch (n) {
    case 0:
        return QStringLiteral("SETUP");
    case 1:
        return QStringLiteral("RESTART");
    case 2:
        return QStringLiteral("SAVE");
    case 3:
        return QStringLiteral("DEFAULTS");
    case 4:
        return QStringLiteral("EXIT");
    case 5:
        return QStringLiteral("KYR");
    default:
        return {};
    }
}

void clsKYR::GetSettings(QSettings &settings)
{
    for (Section s : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str}) {
        const auto &defs = Definitions(s);
        for (int slot = 0; slot < Slots(s); ++slot) {
            settings.beginGroup(SectionName(s, slot));
            for (size_t row = 0; row < defs.size(); ++row) {
                const QVariant v = settings.value(defs[row].Name, defs[row].Default);
                // An INI file edited by hand reads an unquoted "a,b" as a list.
                const QString t = v.typeId() == QMetaType::QStringList ? v.toStringList().join(u',') : v.toString();
                setText(s, slot, static_cast<int>(row), t);
            }
            settings.endGroup();
        }
    }
}

void clsKYR::SaveSettings(QSettings &settings) const
{
    for (Section s : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str}) {
        const auto &defs = Definitions(s);
        for (int slot = 0; slot < Slots(s); ++slot) {
            settings.beginGroup(SectionName(s, slot));
            for (size_t row = 0; row < defs.size(); ++row)
                settings.setValue(defs[row].Name, text(s, slot, static_cast<int>(row)));
            settings.endGroup();
        }
    }
}

void clsKYR::SplitParam(const QString &line, QString &name, QString &v)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0) {
        name.clear();
        v.clear();
        return;
    }
    name = line.left(eq);
    v = line.mid(eq + 1);
}

QString clsKYR::SetParam(Section section, int slot, const QString &line)
{
    // Check the slot first so that a bad slot is an error even for unknown names.
    store(section, slot);
    QString name, v;
    SplitParam(line, name, v);
    const int row = FindRow(section, name);
    if (row < 0)
        return QStringLiteral("\n?\r\n");
    setText(section, slot, row, v);
    const auto &def = Definitions(section)[row];
    QString echo = u'\n' + def.Name + u'=' + text(section, slot, row);
    if (def.Kind != KindText)
        echo += QLatin1String("\r\n");
    return echo;
}

QString clsKYR::GetParam(Section section, int slot, const QString &name) const
{
    store(section, slot);
    const auto &defs = Definitions(section);
    if (name == QLatin1String("*")) {
        QString out = QStringLiteral("\n");
        for (size_t row = 0; row < defs.size(); ++row)
            out += defs[row].Name + u'=' + text(section, slot, static_cast<int>(row)) + QLatin1String("\r\n");
        return out;
    }
    const int row = FindRow(section, name);
    if (row < 0)
        return QStringLiteral("\n?\r\n");
    return u'\n' + defs[row].Name + u'=' + text(section, slot, row) + QLatin1String("\r\n");
}

QString clsKYR::SetKYRParam(const QString &line) { return SetParam(Section::Kyr, 0, line); }
QString clsKYR::SetPGMParam(int program, const QString &line) { return SetParam(Section::Pgm, program, line); }
QString clsKYR::SetCAPPGMParam(int caption, const QString &line) { return SetParam(Section::Cap, caption, line); }
QString clsKYR::SetStreamParam(int stream, const QString &line) { return SetParam(Section::Str, stream, line); }
QString clsKYR::GetKYRParam(const QString &name) const { return GetParam(Section::Kyr, 0, name); }
QString clsKYR::GetPGMParam(int program, const QString &name) const { return GetParam(Section::Pgm, program, name); }
QString clsKYR::GetCAPPGMParam(int caption, const QString &name) const { return GetParam(Section::Cap, caption, name); }
QString clsKYR::GetStreamParam(int stream, const QString &name) const { return GetParam(Section::Str, stream, name); }

KyrValue clsKYR::FromText(int kind, const QString &t)
{
    switch (kind) {
    case KindText:
        return KyrValue(t);
    case KindDecimal:
        return KyrValue(KyrValue::readDecimal(t));
    case KindHexByte:
        return KyrValue(Hex2Byte(t));
    case KindHexWord:
        return KyrValue(Hex2Word(t));
    case KindHexLong:
        return KyrValue(Hex2Long(t));
    default:
        return {};
    }
}

QString clsKYR::ToText(int kind, const KyrValue &v)
{
    switch (kind) {
    case KindText:
        return v.toText();
    case KindDecimal:
        return KyrValue::decimalText(v.toDouble());
    case KindHexByte:
        return Byte2Hex(v.toInt());
    case KindHexWord:
        return Word2Hex(v.toInt());
    case KindHexLong:
        return Long2Hex(v.toInt());
    default:
        return {};
    }
}

quint8 clsKYR::Hex2Byte(const QString &t)
{
    return static_cast<quint8>(hexValue(hexDigits(t, 3, 4)));
}

qint32 clsKYR::Hex2Word(const QString &t)
{
    const QStringView d = hexDigits(t, 3, 6);
    if (d.size() <= 3)
        return static_cast<qint32>(hexValue(d));
    return static_cast<qint32>(hexValue(d.left(1)) * 4096 + hexValue(d.right(3)));
}

qint32 clsKYR::Hex2Long(const QString &t)
{
    const QStringView d = hexDigits(t, 3, 10);
    if (d.size() <= 3)
        return static_cast<qint32>(hexValue(d));
    quint32 high = hexValue(d.left(d.size() - 3));
    if (d.size() == 8)
        high &= 0x7FFFF; // bit 31 is never set
    return static_cast<qint32>(high * 4096 + hexValue(d.right(3)));
}

QString clsKYR::Byte2Hex(int v)
{
    const quint32 u = static_cast<quint32>(v);
    return QLatin1String("0x") + upperHex(u, u < 16 ? 2 : 1);
}

QString clsKYR::Word2Hex(qint32 v)
{
    return QLatin1String("0x") + upperHex(static_cast<quint32>(v), 4);
}

QString clsKYR::Long2Hex(qint32 v)
{
    return QLatin1String("0x") + upperHex(static_cast<quint32>(v), 8);
}
