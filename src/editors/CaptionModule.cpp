#include "CaptionModule.h"

#include "EditorRules.h"
#include "ModuleType.h"
#include "SharedState.h"
#include "clsKYR.h"

namespace {

bool is(const KyrValue &value, double number)
{
    return value.toDouble() == number;
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

template <size_t N>
void load(std::array<WorkingNumber, N> &table, const clsKYR &kyr, Section section, int slot, int firstRow,
          size_t count = N)
{
    for (size_t k = 0; k < count; ++k)
        table[k] = WorkingNumber(kyr.value(section, slot, firstRow + int(k)));
}

template <size_t N>
void store(const std::array<WorkingNumber, N> &table, clsKYR &kyr, Section section, int slot, int firstRow,
           size_t count = N)
{
    for (size_t k = 0; k < count; ++k)
        table[k].store(kyr, section, slot, firstRow + int(k));
}

template <size_t N> void publish(const std::array<WorkingNumber, N> &table, std::array<qint16, N> &shared)
{
    for (size_t k = 0; k < N; ++k)
        shared[k] = table[k].value();
}

// Only the entries that came back changed count as changed, so a stored
// value the drawing refused keeps its stored form.
template <size_t N> void take(std::array<WorkingNumber, N> &table, const std::array<qint16, N> &shared)
{
    for (size_t k = 0; k < N; ++k) {
        if (table[k].value() != shared[k])
            table[k].set(shared[k]);
    }
}

template <size_t N> void preset(std::array<WorkingNumber, N> &table, const std::array<qint16, N> &values)
{
    for (size_t k = 0; k < N; ++k)
        table[k].set(values[k]);
}

WorkingNumber xdsEntry(const KyrValue &xdsEnabled)
{
    return WorkingNumber(KyrValue(qint32(is(xdsEnabled, 1) ? 5 : 0)));
}

int portOf(const clsKYR &kyr, int s)
{
    if (kyr.sSTR(s, StrRow::Direction) == QLatin1String("E")) {
        for (int mode : {0, 1, 2}) {
            if (is(kyr.str(s, StrRow::Mode), mode))
                return CaptionModule::Primary + mode;
        }
        return -1;
    }
    const KyrValue type = kyr.str(s, StrRow::DataType);
    if (is(type, 3) || is(type, 4))
        return CaptionModule::Output708;
    if (is(type, 2))
        return CaptionModule::Output608;
    return -1;
}

// The streams of one caption module are written with one insertion: the
// same identifiers, channel and line.
bool sameInsertion(const clsKYR &kyr, int a, int b)
{
    for (int row : {StrRow::Did, StrRow::SDid, StrRow::DataChannel, StrRow::InsertLinesF1}) {
        if (kyr.sSTR(a, row) != kyr.sSTR(b, row))
            return false;
    }
    return true;
}

// The primary stream whose module a caption stream of the program belongs
// to. A program may hold more than one primary stream, each shown in a slot
// of its own: a primary stream is its own module's, and any other port's
// stream belongs to the first primary stream it shares its insertion with,
// else to the first primary stream, so that every stream belongs to exactly
// one module. -1 for a program without a primary stream.
int moduleOf(const clsKYR &kyr, int s, const QList<int> &primaries)
{
    if (primaries.contains(s))
        return s;
    for (int primary : primaries) {
        if (sameInsertion(kyr, s, primary))
            return primary;
    }
    return primaries.value(0, -1);
}

} // namespace

CaptionModule CaptionModule::Read(const clsKYR &kyr, const SharedState &state)
{
    CaptionModule m;
    // Decimal rows hold their numbers as the encoder's listings give them.
    const WorkingNumber zero(KyrValue(0.0));
    for (auto *table : {&m.primary708, &m.secondary608, &m.secondary708})
        table->fill(zero);
    m.primary608.fill(zero);
    m.frameDelay = zero;
    m.program = qBound(0, state.CurrentProgram, clsKYR::CaptionSlots - 1);
    const int p = m.program;
    m.rcControl = WorkingNumber(kyr.ccd(p, CapRow::RCControl));
    load(m.upstream608, kyr, Section::Cap, p, CapRow::C1To608, 4);
    m.upstream608[4] = xdsEntry(kyr.ccd(p, CapRow::XDSEnabled));
    load(m.upstream708, kyr, Section::Cap, p, CapRow::C1To708);
    load(m.upstreamServices, kyr, Section::Cap, p, CapRow::UpstreamS1);

    // The caption streams of this program with a port, and the module opened:
    // the one whose primary stream is CurrentStream (the slot configured),
    // else the first.
    QList<int> captionStreams;
    QList<int> primaries;
    for (int s = 0; s < Streams; ++s) {
        if (!is(kyr.str(s, StrRow::StreamType), ModuleType::Caption) || !is(kyr.str(s, StrRow::Program), p + 1))
            continue;
        const int port = portOf(kyr, s);
        if (port >= 0)
            captionStreams.append(s);
        if (port == Primary)
            primaries.append(s);
    }
    const int opened = primaries.contains(state.CurrentStream) ? state.CurrentStream : primaries.value(0, -1);

    // The streams of that module; when two claim one port, the higher stream
    // number wins. A stream the model holds as used is never offered.
    for (int s = 0; s < Streams; ++s)
        m.inUse[size_t(s)] = state.StreamInUse.at(size_t(s)) || ModuleType::Used(kyr, s);
    for (int s : captionStreams) {
        if (moduleOf(kyr, s, primaries) != opened)
            continue;
        const int port = portOf(kyr, s);
        CaptionPort &cp = m.ports[size_t(port)];
        cp.stream = cp.loaded = s;
        if (port <= Xds) {
            cp.echo = !is(kyr.str(s, StrRow::Echo), 0);
            cp.passThrough = !is(kyr.str(s, StrRow::DisconnectProcessing), 0);
            cp.externalModem = !is(kyr.str(s, StrRow::ModemPresent), 0);
            cp.init = kyr.sSTR(s, StrRow::ModemInit);
            cp.fieldMarked = port != Xds && is(kyr.str(s, StrRow::DataType), 2);
        }
        switch (port) {
        case Primary:
            load(m.primary608, kyr, Section::Str, s, StrRow::C1To608, 4);
            m.primary608[4] = xdsEntry(kyr.str(s, StrRow::XDSEnabled));
            load(m.primary708, kyr, Section::Str, s, StrRow::C1To708);
            break;
        case Secondary:
            load(m.secondary608, kyr, Section::Str, s, StrRow::C1To608);
            load(m.secondary708, kyr, Section::Str, s, StrRow::C1To708);
            break;
        case Xds:
            m.xdsPort = is(kyr.str(s, StrRow::XDSEnabled), 1);
            break;
        case Output708:
            m.pull = is(kyr.str(s, StrRow::DataType), 4);
            m.frameDelay = WorkingNumber(kyr.str(s, StrRow::FrameDelay));
            break;
        default:
            break;
        }
    }

    int source = state.CurrentStream >= 0 && state.CurrentStream < Streams ? state.CurrentStream : -1;
    for (const CaptionPort &cp : m.ports) {
        if (source < 0 && cp.stream >= 0)
            source = cp.stream;
    }
    m.existing = source >= 0;
    if (!m.existing) {
        preset(m.upstream608, {1, 2, 3, 4, 5});
        preset(m.upstream708, {0, 0, 0, 0});
        preset(m.upstreamServices, {1, 2, 3, 4, 5, 6});
        return m;
    }
    m.did = kyr.str(source, StrRow::Did).toInt();
    m.sdid = kyr.str(source, StrRow::SDid).toInt();
    m.luma = kyr.sSTR(source, StrRow::DataChannel) == QLatin1String("L");
    m.line = clsKYR::LineNumber(kyr.str(source, StrRow::InsertLinesF1).toInt());
    m.replace = is(kyr.ccd(p, CapRow::OverwriteUpstream), 1);
    for (int k = 0; k < 2; ++k) {
        m.language608[size_t(k)] = kyr.sCAP(p, CapRow::Language608F1 + k);
        m.easyReader608[size_t(k)] = is(kyr.ccd(p, CapRow::EasyReader608F1 + k), 1);
    }
    for (int k = 0; k < 6; ++k) {
        m.language708[size_t(k)] = kyr.sCAP(p, CapRow::Language708S1 + k);
        m.easyReader708[size_t(k)] = is(kyr.ccd(p, CapRow::EasyReader708S1 + k), 1);
    }
    return m;
}

int CaptionModule::shownStream(int port) const
{
    return ports[Primary].stream < 0 ? -1 : ports.at(size_t(port)).stream;
}

QList<int> CaptionModule::offered(int port) const
{
    const int own = shownStream(port);
    QList<int> streams;
    for (int s = 0; s < PortStreams; ++s) {
        if (s == own || !inUse[size_t(s)])
            streams.append(s);
    }
    // A stored stream no port may use is still shown as the port's own,
    // never as "None" while Apply would write it.
    if (own >= PortStreams)
        streams.append(own);
    return streams;
}

bool CaptionModule::asksBeforeChoosing(int port, int stream) const
{
    return port == Primary && stream < 0 && ports[Primary].stream >= 0;
}

CaptionModule::Preset CaptionModule::choose(int port, int stream)
{
    CaptionPort &cp = ports.at(size_t(port));
    const int old = cp.stream;
    if (stream == old)
        return NoPreset;
    if (old >= 0)
        inUse[size_t(old)] = false;
    if (stream >= 0)
        inUse[size_t(stream)] = true;
    cp.stream = stream;
    switch (port) {
    case Primary:
        if (stream < 0) {
            for (CaptionPort *other : {&ports[Secondary], &ports[Xds]}) {
                if (other->stream >= 0)
                    inUse[size_t(other->stream)] = false;
                other->stream = -1;
            }
            return NoPreset;
        }
        return old < 0 ? PrimaryPreset : NoPreset;
    case Secondary:
        if (stream >= 0)
            return old < 0 ? SecondaryPreset : NoPreset;
        return PrimaryPreset;
    case Xds:
        // XDS goes to the XDS port, or back to the primary port.
        if (stream < 0) {
            primary608[4].set(5);
            xdsPort = false;
        } else if (old < 0) {
            primary608[4].set(0);
            xdsPort = true;
        }
        return NoPreset;
    default:
        return NoPreset;
    }
}

void CaptionModule::publishPorts(SharedState &state) const
{
    state.PrimaryPortPresent = ports[Primary].stream >= 0;
    state.SecondaryPortPresent = ports[Secondary].stream >= 0;
    state.XdsPortPresent = ports[Xds].stream >= 0;
    publish(primary608, state.Primary608Map);
    publish(primary708, state.Primary708Map);
    publish(secondary608, state.Secondary608Map);
    publish(secondary708, state.Secondary708Map);
    state.XdsPortEnabled = xdsPort;
}

void CaptionModule::takePreset(const SharedState &state, Preset which)
{
    if (which == NoPreset)
        return;
    take(primary608, state.Primary608Map);
    take(primary708, state.Primary708Map);
    xdsPort = state.XdsPortEnabled;
    if (which == SecondaryPreset) {
        take(secondary608, state.Secondary608Map);
        take(secondary708, state.Secondary708Map);
    }
}

void CaptionModule::takePorts(const SharedState &state)
{
    if (ports[Primary].stream >= 0) {
        take(primary608, state.Primary608Map);
        take(primary708, state.Primary708Map);
    }
    if (ports[Secondary].stream >= 0) {
        take(secondary608, state.Secondary608Map);
        take(secondary708, state.Secondary708Map);
    }
    if (ports[Xds].stream >= 0)
        xdsPort = state.XdsPortEnabled;
}

void CaptionModule::publishUpstream(SharedState &state) const
{
    publish(upstream608, state.Upstream608Map);
    publish(upstream708, state.Upstream708Map);
    publish(upstreamServices, state.UpstreamServiceMap);
}

void CaptionModule::takeUpstream(const SharedState &state)
{
    take(upstream608, state.Upstream608Map);
    take(upstream708, state.Upstream708Map);
    take(upstreamServices, state.UpstreamServiceMap);
}

void CaptionModule::Write(clsKYR &kyr, SharedState &state) const
{
    for (const CaptionPort &cp : ports) {
        if (cp.loaded >= 0) {
            kyr.setStr(cp.loaded, StrRow::StreamType, KyrValue(qint32(ModuleType::Free)));
            state.StreamInUse.at(size_t(cp.loaded)) = false;
        }
    }
    if (ports[Primary].stream < 0)
        return; // captioning is off; the caption program keeps its values

    const int p = program;
    rcControl.store(kyr, Section::Cap, p, CapRow::RCControl);
    kyr.setSCAP(p, CapRow::OverwriteUpstream, flag(replace));
    kyr.setSCAP(p, CapRow::Language608F1, language608[0]);
    kyr.setSCAP(p, CapRow::Language608F2, language608[1]);
    for (int n = 0; n < 6; ++n) {
        kyr.setSCAP(p, CapRow::Language708S1 + n, language708[size_t(n)]);
        kyr.setSCAP(p, CapRow::EasyReader708S1 + n, flag(easyReader708[size_t(n)]));
    }
    kyr.setSCAP(p, CapRow::EasyReader608F1, flag(easyReader608[0]));
    kyr.setSCAP(p, CapRow::EasyReader608F2, flag(easyReader608[1]));
    store(upstream608, kyr, Section::Cap, p, CapRow::C1To608, 4);
    kyr.setSCAP(p, CapRow::XDSEnabled, flag(upstream608[4].value() == 5));
    store(upstream708, kyr, Section::Cap, p, CapRow::C1To708);
    store(upstreamServices, kyr, Section::Cap, p, CapRow::UpstreamS1);

    const auto common = [&](int s, const char *direction) {
        kyr.setStr(s, StrRow::StreamType, KyrValue(qint32(ModuleType::Caption)));
        kyr.setSSTR(s, StrRow::Program, QString::number(p + 1));
        kyr.setStr(s, StrRow::Did, KyrValue(quint8(did)));
        kyr.setStr(s, StrRow::SDid, KyrValue(quint8(sdid)));
        kyr.setSSTR(s, StrRow::DataChannel, luma ? QStringLiteral("L") : QStringLiteral("C"));
        kyr.setStr(s, StrRow::InsertLinesF1, KyrValue(clsKYR::InsertLines(line)));
        kyr.setStr(s, StrRow::InsertLinesF2, KyrValue(qint32(0)));
        kyr.setSSTR(s, StrRow::Direction, QString::fromLatin1(direction));
        state.StreamInUse.at(size_t(s)) = true;
    };
    const auto encode = [&](int port, int mode, int dataType) {
        const CaptionPort &cp = ports[size_t(port)];
        common(cp.stream, "E");
        kyr.setSSTR(cp.stream, StrRow::Mode, QString::number(mode));
        kyr.setSSTR(cp.stream, StrRow::Echo, flag(cp.echo));
        kyr.setSSTR(cp.stream, StrRow::DataType, QString::number(dataType));
        kyr.setSSTR(cp.stream, StrRow::ModemPresent, flag(cp.externalModem));
        kyr.setSSTR(cp.stream, StrRow::DisconnectProcessing, flag(cp.passThrough));
        kyr.setSSTR(cp.stream, StrRow::ModemInit, cp.init);
    };

    const int primary = ports[Primary].stream;
    encode(Primary, 0, ports[Primary].fieldMarked ? 2 : 0);
    store(primary608, kyr, Section::Str, primary, StrRow::C1To608, 4);
    kyr.setSSTR(primary, StrRow::XDSEnabled, flag(primary608[4].value() == 5));
    store(primary708, kyr, Section::Str, primary, StrRow::C1To708);

    if (const int secondary = ports[Secondary].stream; secondary >= 0) {
        encode(Secondary, 1, ports[Secondary].fieldMarked ? 2 : 0);
        store(secondary608, kyr, Section::Str, secondary, StrRow::C1To608);
        kyr.setSSTR(secondary, StrRow::XDSEnabled, flag(false));
        store(secondary708, kyr, Section::Str, secondary, StrRow::C1To708);
    }
    if (const int xds = ports[Xds].stream; xds >= 0) {
        encode(Xds, 2, 0);
        for (int k = 0; k < 4; ++k) {
            kyr.setSSTR(xds, StrRow::C1To608 + k, flag(false));
            kyr.setSSTR(xds, StrRow::C1To708 + k, flag(false));
        }
        kyr.setSSTR(xds, StrRow::XDSEnabled, flag(xdsPort));
    }
    if (const int out608 = ports[Output608].stream; out608 >= 0) {
        common(out608, "D");
        kyr.setSSTR(out608, StrRow::DataType, QStringLiteral("2"));
    }
    if (const int out708 = ports[Output708].stream; out708 >= 0) {
        common(out708, "D");
        kyr.setSSTR(out708, StrRow::DataType, pull ? QStringLiteral("4") : QStringLiteral("3"));
        frameDelay.store(kyr, Section::Str, out708, StrRow::FrameDelay);
    }
}

bool CaptionModule::BroadcastFlagShown(const clsKYR &kyr, int program)
{
    const KyrValue resources = kyr.KYR(KyrRow::BfStreams);
    if (is(resources, 2))
        return true;
    // One resource for both programs: shown while the other program leaves it alone.
    return is(resources, 1) && is(kyr.ccd(1 - qBound(0, program, 1), CapRow::RCControl), 0);
}

CaptionModule::ModemControls CaptionModule::modemControls(const clsKYR &kyr, int port) const
{
    const int stream = shownStream(port);
    if (port > Xds || RevisionBelow(kyr, QStringLiteral("G")))
        return {};
    if (stream == StreamSlot::MODEM)
        return {false, true, false};
    if (stream >= StreamSlot::PORTA && stream <= StreamSlot::PORTC) {
        const bool modem = ports.at(size_t(port)).externalModem;
        return {true, modem, modem};
    }
    return {};
}

QString CaptionModule::InitFault(const QString &init)
{
    for (const char32_t code : init.toUcs4()) {
        QString name;
        if (code == 0x09)
            name = QStringLiteral("a tab");
        else if (code == 0x1B)
            name = QStringLiteral("an escape");
        else if (code == 0x0D)
            name = QStringLiteral("a carriage return");
        else if (code == 0x0A)
            name = QStringLiteral("a line feed");
        else if (code < 0x20 || (code >= 0x7F && code < 0xA0))
            name = QStringLiteral("the control character %1").arg(uint(code));
        else if (code > 0xFF)
            name = QStringLiteral("the character \"%1\"").arg(QString::fromUcs4(&code, 1));
        if (!name.isEmpty())
            return QStringLiteral("The init string holds %1, which cannot be sent to the encoder.").arg(name);
    }
    return {};
}
