#include "TransparentModule.h"

#include "ModuleType.h"
#include "SharedState.h"
#include "clsKYR.h"

namespace {
// The line mask bits that stand for video lines 1 to 25.
constexpr qint32 kLineBits = 0x1FFFFFF;

bool isStream(int stream)
{
    return stream >= 0 && stream < TransparentModule::Streams;
}
} // namespace

TransparentModule TransparentModule::Open(const clsKYR &kyr, const SharedState &state)
{
    TransparentModule m;
    m.program = state.CurrentProgram;
    m.loaded = isStream(state.CurrentStream) ? state.CurrentStream : -1;
    m.chosen = m.loaded;
    // The file and bridge streams and the other program's test stream are
    // never offered; this program's test stream is, when free. A stream the
    // model holds as used is never free, whatever the marks say.
    const int testStream = StreamSlot::BTEST1 + m.program;
    for (int s = 0; s < Streams; ++s)
        m.inUse[size_t(s)] =
            (s >= StreamSlot::FILE1 && s != testStream) || state.StreamInUse[size_t(s)] || ModuleType::Used(kyr, s);

    if (m.loaded < 0) {
        m.dataType.set(AudioMetadata);
        for (WorkingNumber *n :
             {&m.fieldIndicator, &m.count[0], &m.count[1], &m.timedFlush, &m.vancFlush, &m.priority, &m.timeout})
            n->set(0);
        return m;
    }

    const int s = m.loaded;
    m.dataType = WorkingNumber(kyr.str(s, StrRow::DataType));
    m.direction = kyr.sSTR(s, StrRow::Direction);
    m.channel = kyr.sSTR(s, StrRow::DataChannel);
    m.lines = kyr.str(s, StrRow::InsertLinesF1).toInt();
    m.line = clsKYR::LineNumber(m.lines);
    m.did = kyr.str(s, StrRow::Did).toInt();
    m.sdid = kyr.str(s, StrRow::SDid).toInt();
    m.priority = WorkingNumber(kyr.str(s, StrRow::transMode));
    m.timeout = WorkingNumber(kyr.str(s, StrRow::transTimeout));
    m.fieldIndicator = WorkingNumber(kyr.str(s, StrRow::FieldIndicator));
    const Type t = m.type();
    m.byteMode = !m.encode() || t < CaptionCdp;
    m.timedFlush = WorkingNumber(kyr.str(s, StrRow::TimedBufferFlush));
    m.vancFlush = WorkingNumber(kyr.str(s, StrRow::VancBufferFlush));
    m.count[0] = WorkingNumber(kyr.str(s, StrRow::DataCountF1));
    m.count[1] = WorkingNumber(kyr.str(s, StrRow::DataCountF2));
    m.identifier =
        (kyr.str(s, StrRow::HeaderId1).toInt() & 0xFF) * 256 + (kyr.str(s, StrRow::HeaderId2).toInt() & 0xFF);
    return m;
}

TransparentModule::Type TransparentModule::type() const
{
    const int code = dataType.value();
    return dataType.exact() && code >= CustomBytes && code <= CustomPackets ? Type(code) : Unknown;
}

bool TransparentModule::custom() const
{
    const Type t = type();
    return t == CustomBytes || t == CustomPackets;
}

void TransparentModule::choose(Type chosenType)
{
    const auto preset = [this](Type code, int newDid, int newSdid, qint16 counts, qint16 timed, qint16 vanc) {
        dataType.set(code);
        did = newDid;
        sdid = newSdid;
        count[0].set(counts);
        count[1].set(counts);
        timedFlush.set(timed);
        vancFlush.set(vanc);
    };
    switch (chosenType) {
    case Bytes:
        preset(Bytes, 0x52, 0x19, 255, 0, 3);
        identifier = 0;
        byteMode = true;
        break;
    case HighCapacity:
        preset(HighCapacity, 0x52, 0x19, 0, 0, 3);
        byteMode = true;
        break;
    case AudioMetadata:
        preset(AudioMetadata, 0x50, 0x01, 0, 0, 0);
        identifier = 0;
        byteMode = true;
        break;
    case CaptionCdp:
    case SubtitleSdp:
        preset(chosenType, 0x61, chosenType == CaptionCdp ? 0x01 : 0x03, 0, 0, 0);
        identifier = chosenType == CaptionCdp ? 0x9669 : 0x5115;
        if (encode())
            byteMode = false;
        break;
    case CustomBytes:
    case CustomPackets:
        // The code says which mode is selected, so that the stream reopens
        // as it was left.
        dataType.set(byteMode ? CustomBytes : CustomPackets);
        break;
    case Unknown:
        break;
    }
}

void TransparentModule::setEncode(bool encodeIntoSignal)
{
    direction = encodeIntoSignal ? QStringLiteral("E") : QStringLiteral("D");
    if (custom())
        dataType.set(byteMode ? CustomBytes : CustomPackets);
}

void TransparentModule::setByteMode(bool bytes)
{
    byteMode = bytes;
    if (custom())
        dataType.set(bytes ? CustomBytes : CustomPackets);
}

void TransparentModule::setLuma(bool lumaChannel)
{
    channel = lumaChannel ? QStringLiteral("L") : QStringLiteral("C");
}

void TransparentModule::selectLine(int shownLine)
{
    line = shownLine;
    const qint32 bit = clsKYR::InsertLines(shownLine);
    if ((lines & kLineBits) != bit)
        lines = bit;
}

QList<int> TransparentModule::ports() const
{
    QList<int> streams;
    for (int s = 0; s < Streams; ++s) {
        if (s == chosen || !inUse[size_t(s)])
            streams << s;
    }
    return streams;
}

void TransparentModule::choosePort(int stream)
{
    if (isStream(chosen))
        inUse[size_t(chosen)] = false;
    chosen = isStream(stream) ? stream : -1;
    if (isStream(chosen))
        inUse[size_t(chosen)] = true;
}

void TransparentModule::Write(clsKYR &kyr, SharedState &state) const
{
    if (isStream(loaded)) {
        kyr.setStr(loaded, StrRow::StreamType, KyrValue(qint32(ModuleType::Free)));
        state.StreamInUse[size_t(loaded)] = false;
    }
    if (!isStream(chosen))
        return;
    const int s = chosen;
    state.StreamInUse[size_t(s)] = true;
    kyr.setStr(s, StrRow::StreamType, KyrValue(qint32(ModuleType::Transparent)));
    kyr.setSSTR(s, StrRow::Program, QString::number(program + 1));
    kyr.setSSTR(s, StrRow::Direction, direction);
    kyr.setStr(s, StrRow::Did, KyrValue(quint8(did)));
    kyr.setStr(s, StrRow::SDid, KyrValue(quint8(sdid)));
    fieldIndicator.store(kyr, Section::Str, s, StrRow::FieldIndicator);
    dataType.store(kyr, Section::Str, s, StrRow::DataType);
    kyr.setSSTR(s, StrRow::DataChannel, channel);
    kyr.setStr(s, StrRow::InsertLinesF1, KyrValue(lines));
    kyr.setStr(s, StrRow::InsertLinesF2, KyrValue(lines));
    timedFlush.store(kyr, Section::Str, s, StrRow::TimedBufferFlush);
    vancFlush.store(kyr, Section::Str, s, StrRow::VancBufferFlush);
    count[0].store(kyr, Section::Str, s, StrRow::DataCountF1);
    count[1].store(kyr, Section::Str, s, StrRow::DataCountF2);
    kyr.setStr(s, StrRow::HeaderId1, KyrValue(quint8((identifier / 256) & 0xFF)));
    kyr.setStr(s, StrRow::HeaderId2, KyrValue(quint8(identifier & 0xFF)));
    priority.store(kyr, Section::Str, s, StrRow::transMode);
    timeout.store(kyr, Section::Str, s, StrRow::transTimeout);
}
