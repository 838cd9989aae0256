#pragma once

#include "KyrValue.h"

#include <QString>
#include <QStringList>

#include <vector>

class QSettings;

// Value kinds of a parameter row.
enum ValueKind : int {
    KindText = 0,    // free text
    KindDecimal = 1, // decimal number
    KindHexByte = 2, // "0x51"
    KindHexWord = 3, // "0x0000"
    KindHexLong = 4, // "0x00000080"
};

// One row of a section's definition table.
struct ParamDef
{
    int Kind = KindText;
    QString Name;
    QString Default;
};

// The four kinds of section.
enum class Section { Kyr, Pgm, Cap, Str };

// Rows of the encoder section "KYR".
namespace KyrRow {
enum : int {
    ID = 0, SerialNumber, Software, Rev, VersionRequired, PartRequired, VersionSuggested,
    PartSuggested, ProgramCount, TransparentStreams, CaptionStreams, BfStreams,
    ConstantStreams, BridgingStreams, IpNum, Broadcast, Netmask, Gateway, DHCP,
    Count
};
}

// Rows of the program sections "PGM1", "PGM2".
namespace PgmRow {
enum : int { VideoMode = 0, RequestedVideoMode, AddToCLines, AddToLLines, FirstLineCfg, Count = 104 };
// Row of LineCfgC<line>F<field> (channel 0) or LineCfgL<line>F<field> (channel 1).
constexpr int LineCfg(int channel, int line, int field)
{
    return 4 + 50 * channel + 25 * (field - 1) + (line - 1);
}
} // namespace PgmRow

// Rows of the caption program sections "CAPPGM1", "CAPPGM2".
namespace CapRow {
enum : int {
    OverwriteUpstream = 0, Services, C1To608, C2To608, C3To608, C4To608, XDSEnabled,
    C1To708, C2To708, C3To708, C4To708, UpstreamS1, UpstreamS2, UpstreamS3, UpstreamS4,
    UpstreamS5, UpstreamS6, Language608F1, Language608F2, Language708S1, Language708S2,
    Language708S3, Language708S4, Language708S5, Language708S6, EasyReader608F1,
    EasyReader608F2, EasyReader708S1, EasyReader708S2, EasyReader708S3, EasyReader708S4,
    EasyReader708S5, EasyReader708S6, RCControl,
    Count
};
}

// Rows of the stream sections "PORTA" .. "OUTBRIDGE1".
namespace StrRow {
enum : int {
    StreamType = 0, Program, Direction, DataChannel, InsertLinesF1, InsertLinesF2, Did, SDid,
    Baud, WordSize, Parity, StopBits, TxFlowCtrl, RxFlowCtrl, PortAddr, DataType, Mode, Echo,
    FieldIndicator, C1To608, C2To608, C3To608, C4To608, XDSEnabled, C1To708, C2To708,
    C3To708, C4To708, FlushBytes, FrameDelay, DataCountF1, DataCountF2, HeaderId1, HeaderId2,
    FooterId, FooterSize, TimedBufferFlush, VancBufferFlush, FileName, ConditionalInsertion,
    BridgeType, ModemPresent, ModemInit, DisconnectProcessing, transMode, transTimeout,
    Count
};
}

// Stream slots.
namespace StreamSlot {
enum : int {
    PORTA = 0, PORTB, PORTC, MODEM, LAN1, LAN2, LAN3, LAN4, LAN5, LAN6, LAN7, LAN8,
    FILE1, FILE2, BTEST1, BTEST2, INBRIDGE1, OUTBRIDGE1,
    Count
};
}

// The one in-memory image of an encoder's configuration.
//
// Every section has a fixed definition table; values are addressed by slot
// and row. The stores are one larger than the definitions in every
// direction; the spare row or slot has no definition. An index outside the
// stores throws std::out_of_range.
class clsKYR
{
public:
    static constexpr int KyrRows = KyrRow::Count;
    static constexpr int PgmRows = PgmRow::Count;
    static constexpr int CapRows = CapRow::Count;
    static constexpr int StrRows = StrRow::Count;
    static constexpr int ProgramSlots = 2;
    static constexpr int CaptionSlots = 2;
    static constexpr int StreamSlots = StreamSlot::Count;
    // Listings fetched from an encoder, in section order.
    static constexpr int SectionCount = 1 + ProgramSlots + CaptionSlots + StreamSlots;

    clsKYR();

    // Stored values, unchanged.
    KyrValue KYR(int row) const;
    void setKYR(int row, const KyrValue &value);
    KyrValue pgm(int program, int row) const;
    void setPgm(int program, int row, const KyrValue &value);
    KyrValue ccd(int caption, int row) const;
    void setCcd(int caption, int row, const KyrValue &value);
    KyrValue str(int stream, int row) const;
    void setStr(int stream, int row, const KyrValue &value);

    // Text forms by the row's kind; writing converts the text by the kind.
    QString sKYR(int row) const;
    void setSKYR(int row, const QString &text);
    QString sPGM(int program, int row) const;
    void setSPGM(int program, int row, const QString &text);
    QString sCAP(int caption, int row) const;
    void setSCAP(int caption, int row, const QString &text);
    QString sSTR(int stream, int row) const;
    void setSSTR(int stream, int row, const QString &text);

    // Row names.
    QString pKYR(int row) const;
    QString pPGM(int row) const;
    QString pCAP(int row) const;
    QString pSTR(int row) const;

    // Section names and command words.
    static QString StreamText(int stream);
    static QString ProgramText(int program);
    static QString CaptionText(int caption);
    static QString CMD(int n);

    // Settings store.
    void GetSettings(QSettings &store);
    void SaveSettings(QSettings &store) const;

    // Listing lines: apply one "name=value" line and return the echo text.
    QString SetKYRParam(const QString &line);
    QString SetPGMParam(int program, const QString &line);
    QString SetCAPPGMParam(int caption, const QString &line);
    QString SetStreamParam(int stream, const QString &line);
    // Render one parameter, or the whole section with name "*".
    QString GetKYRParam(const QString &name) const;
    QString GetPGMParam(int program, const QString &name) const;
    QString GetCAPPGMParam(int caption, const QString &name) const;
    QString GetStreamParam(int stream, const QString &name) const;

    // Conversions for display and line checks.
    static QString VideoName(int code, bool requested);
    QString Stream2Name(int stream) const;
    int Name2Stream(const QString &name) const;
    static qint32 InsertLines(int line);
    static int LineNumber(qint32 mask);
    static QString LineNumbers(qint32 mask);
    QString ValidLine(int program, int line) const;
    static QString BF2Text(int mode);

    // Generic access by section kind, for code that walks every section
    // (the simulator, the parser, tests).
    static const std::vector<ParamDef> &Definitions(Section section);
    static int Slots(Section section);
    static QString SectionName(Section section, int slot);
    // The section and slot of a section name as the encoder spells it
    // ("KYR", "PGM1", "LAN3", ...); false when there is none.
    static bool FindSection(const QString &name, Section &section, int &slot);
    // Row of a name in a section's table (letter case ignored), or -1.
    static int FindRow(Section section, const QString &name);
    KyrValue value(Section section, int slot, int row) const;
    void setValue(Section section, int slot, int row, const KyrValue &value);
    QString text(Section section, int slot, int row) const;
    void setText(Section section, int slot, int row, const QString &text);
    QString SetParam(Section section, int slot, const QString &line);
    QString GetParam(Section section, int slot, const QString &name) const;

    // Text forms by kind.
    static KyrValue FromText(int kind, const QString &text);
    static QString ToText(int kind, const KyrValue &value);

    bool operator==(const clsKYR &other) const = default;

private:
    static void SplitParam(const QString &line, QString &name, QString &value);
    static quint8 Hex2Byte(const QString &text);
    static qint32 Hex2Word(const QString &text);
    static qint32 Hex2Long(const QString &text);
    static QString Byte2Hex(int value);
    static QString Word2Hex(qint32 value);
    static QString Long2Hex(qint32 value);

    std::vector<KyrValue> &store(Section section, int slot);
    const std::vector<KyrValue> &store(Section section, int slot) const;

    // [slot][row], one larger in both directions than the definitions.
    std::vector<std::vector<KyrValue>> kyrStore;
    std::vector<std::vector<KyrValue>> pgmStore;
    std::vector<std::vector<KyrValue>> capStore;
    std::vector<std::vector<KyrValue>> strStore;
};
