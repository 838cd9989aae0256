// Fuzz target over the reply handler: arbitrary text from the encoder, cut
// into arbitrary pieces, mixed with step timer ticks and the encoder closing,
// during a retrieval over each kind of link, during each closing
// conversation, during the read-back after a save and during a save written
// from a plan of rows.
//
// Input: the low six bits of byte 0, taken modulo 10, pick the conversation
// (inputs whose low six bits are 0 to 5 mean what they always meant):
//   0, 1, 2  a retrieval over a LAN, a serial line, a modem
//   3, 4, 5  a save of the whole model, an exit, a factory reset
//   6, 7, 8  the read-back after a save over a LAN, a serial line, a modem,
//            run as ReadBack runs it: a retrieval of the sections a save
//            plan visits (Verification::Listings), then "EXIT"; a retrieval
//            that fails (halted, link closed) is tried again at the next
//            tick, as ReadBack's pause timer does; once the read-back has
//            ended, the next tick starts another one (Verify again), on the
//            same conversation. A closed link delivers nothing.
//   9        a save written from a plan of rows (kyr7ctl --changed-only,
//            Send to KYR7)
// For 3, 4, 5 and 9 the top bit of byte 0 makes the encoder close the link
// before the closing conversation starts, which then reconnects, and the
// next bit runs it over a serial line, which first checks that the session
// is still logged in.
// Kinds 6 to 9 read four more bytes, the save plan: bit k of bytes 1 to 3
// (byte 1 + k / 8, bit k % 8) makes the plan visit the section of listing k;
// byte 4 picks the rows of each visit: 0 all the rows a save sends there,
// otherwise the i-th of them when bit i % 8 is set.
// Then each byte is an operation:
//   0x00..0xEF  deliver the next (op % 64 + 1) bytes as one piece
//   0xF0..0xFD  tick the step timer (or the read-back's pause, see above)
//   0xFE        the encoder closes the connection
//   0xFF        deliver a line end and the current step's prompt
//
// Invariants: no error box (an error box means a routine hit an unexpected
// error); the receive buffer stays bounded; the current step stays inside
// the step table; nothing sent carries a line feed; a finished closing
// conversation never sends again; a closing conversation on a line that
// stayed open logs in again at most once; a modem is sent AT commands alone
// until it is told to dial. A retrieval that completes hands over, at each
// position of its listings, exactly what the encoder said in answer to the
// listing request ("*") of that section, and nothing at the positions of
// sections it was not asked for. A save that completes wrote each row of its
// plan, with the model's value as the wire carries it, and no other setting.
#include "Conversation.h"
#include "FuzzCheck.h"
#include "ManualStepTimer.h"
#include "MemoryLink.h"
#include "Messages.h"
#include "SaveRows.h"
#include "Verification.h"
#include "clsKYR.h"

#include <QCoreApplication>
#include <QHash>

#include <array>
#include <cstdint>
#include <set>
#include <tuple>

namespace {

const char kTarget[] = "fuzz_replies";
QByteArray input; // the input being run, shown when an invariant breaks

void check(bool ok, const char *what)
{
    if (!ok)
        FuzzFail(kTarget, what, input);
}

class FailOnBox : public Messages
{
public:
    void inform(const QString &title, const QString &text) override { fail(title + ": " + text); }
    bool ask(const QString &title, const QString &text) override
    {
        fail(title + ": " + text);
        return false;
    }
    int choose(const QString &title, const QString &text, const QStringList &, int defaultButton) override
    {
        fail(title + ": " + text);
        return defaultButton;
    }
    static void fail(const QString &box) { FuzzFail(kTarget, qPrintable(QStringLiteral("a box: ") + box), input); }
};

// The position of each section in a retrieval's listings, by its name:
// "KYR", the programs, the caption programs, the streams, as the listings
// are parsed.
const QHash<QString, int> &positions()
{
    static const QHash<QString, int> byName = [] {
        QHash<QString, int> names;
        for (Section s : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str})
            for (int slot = 0; slot < clsKYR::Slots(s); ++slot)
                names.insert(clsKYR::SectionName(s, slot), int(names.size()));
        return names;
    }();
    return byName;
}

int positionOf(Section section, int slot)
{
    return positions().value(clsKYR::SectionName(section, slot), -1);
}

// What the encoder was asked, told from the lines sent alone: the text it
// sent in answer to each listing request ("*" inside a section, until the
// next command other than the same request again), the settings written
// inside sections and the logins.
struct EncoderView
{
    int section = -1; // position of the section the lines sent are in
    int answering = -1;
    QByteArray lastWrite;
    std::array<QByteArray, clsKYR::SectionCount> listings;
    std::array<bool, clsKYR::SectionCount> flooded{};
    std::set<std::tuple<int, QString, QString>> written; // position, name, value
    int logins = 0;
    qsizetype total = 0; // bytes sent
    QByteArray dial;     // on a modem that has not been told to dial yet: the dial command

    void sent(const QByteArray &write)
    {
        total += write.size();
        int request = -1;
        QList<QByteArray> lines = write.split('\r');
        lines.removeLast(); // what follows the last CR is no line
        for (const QByteArray &line : lines) {
            if (!dial.isEmpty()) {
                check(line.startsWith("AT"), "a modem was sent other than AT commands before the dial");
                if (line == dial)
                    dial.clear();
                continue;
            }
            const QString text = QString::fromLatin1(line);
            if (const int at = positions().value(text, -1); at >= 0)
                section = at;
            else if (line.isEmpty())
                section = -1;
            else if (line == "*" && section >= 0)
                request = section;
            else if (line == "login")
                ++logins;
            else if (const qsizetype equals = line.indexOf('='); equals > 0 && section >= 0)
                written.insert({section, text.left(equals), text.mid(equals + 1)});
        }
        if (request >= 0 && (write != lastWrite || answering != request)) {
            listings[size_t(request)].clear();
            flooded[size_t(request)] = false;
        }
        answering = request;
        lastWrite = write;
    }

    void received(const QByteArray &bytes)
    {
        if (answering < 0)
            return;
        QByteArray &listing = listings[size_t(answering)];
        listing += bytes;
        // A flood without a prompt fails the step and is dropped on purpose.
        if (listing.size() > Conversation::MaxRxBuffer) {
            listing.clear();
            flooded[size_t(answering)] = true;
        }
    }
};

// The model a save writes: the bridge streams are saved (revision "G"),
// three kinds of module, and values that carry line breaks.
clsKYR planModel()
{
    clsKYR kyr;
    kyr.setSKYR(KyrRow::Rev, QStringLiteral("G"));
    kyr.setSKYR(KyrRow::IpNum, QStringLiteral("10.0.0.7\r\n"));
    kyr.setStr(StreamSlot::PORTA, StrRow::StreamType, KyrValue(qint32(16)));
    kyr.setStr(StreamSlot::LAN1, StrRow::StreamType, KyrValue(qint32(2)));
    kyr.setText(Section::Str, StreamSlot::LAN1, StrRow::FileName, QStringLiteral("cc\r\n#2.txt"));
    kyr.setStr(StreamSlot::INBRIDGE1, StrRow::StreamType, KyrValue(qint32(4)));
    kyr.setText(Section::Cap, 0, CapRow::Language608F1, QStringLiteral("e\rng"));
    return kyr;
}

SavePlan planFrom(const clsKYR &kyr, const uint8_t *header, size_t size)
{
    const auto byte = [&](size_t i) { return i < size ? header[i] : uint8_t(0); };
    SavePlan plan;
    for (SaveVisit visit : FullSavePlan(kyr)) {
        const int k = positionOf(visit.section, visit.slot);
        if (!(byte(1 + size_t(k) / 8) & (1 << (k % 8))))
            continue;
        if (const uint8_t pick = byte(4)) {
            std::vector<int> rows;
            for (size_t i = 0; i < visit.rows.size(); ++i)
                if (pick & (1 << (i % 8)))
                    rows.push_back(visit.rows[i]);
            visit.rows = rows;
        }
        plan.push_back(visit);
    }
    return plan;
}

QString withoutLineBreaks(QString text)
{
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

// What a save of plan writes: each row's name and its value as the wire carries it.
std::set<std::tuple<int, QString, QString>> planned(const SavePlan &plan, const clsKYR &kyr)
{
    std::set<std::tuple<int, QString, QString>> rows;
    for (const SaveVisit &visit : plan)
        for (int row : visit.rows)
            rows.insert({positionOf(visit.section, visit.slot), clsKYR::Definitions(visit.section)[size_t(row)].Name,
                         withoutLineBreaks(kyr.text(visit.section, visit.slot, row))});
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_replies";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    if (size == 0)
        return 0;
    input = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));

    const int kind = (data[0] & 0x3F) % 10;
    const bool readBack = kind >= 6 && kind <= 8;
    const bool closing = (kind >= 3 && kind <= 5) || kind == 9;

    clsKYR kyr = kind >= 6 ? planModel() : clsKYR();
    ManualStepTimer timer;
    FailOnBox messages;
    Conversation conv(kyr, timer, messages);
    EncoderView view;
    MemoryLink *link = nullptr;
    conv.setLinkFactory([&link, &view](const ConnectionSettings &settings) {
        auto made = std::make_unique<MemoryLink>();
        made->connectOnOpen = settings.Method == QLatin1String("LAN");
        made->onSend = [&view](const QByteArray &bytes) { view.sent(bytes); };
        // A new connection starts at the command level, or with the modem's commands.
        view.section = view.answering = -1;
        view.lastWrite.clear();
        view.dial =
            settings.Method == QLatin1String("MODEM") ? (settings.DIAL + settings.Number).toLatin1() : QByteArray();
        link = made.get();
        return std::unique_ptr<Link>(std::move(made));
    });

    ConnectionSettings settings;
    const int linkKind = readBack ? kind - 6 : kind;
    const bool serialLine = linkKind == 1 || (closing && (data[0] & 0x40));
    settings.Method = linkKind == 2 ? QStringLiteral("MODEM")
                      : serialLine  ? QStringLiteral("SERIAL")
                                    : QStringLiteral("LAN");
    settings.Serial = settings.Modem = QStringLiteral("/dev/null");
    settings.INIT = QStringLiteral("ATZ|AT&F");

    const SavePlan plan = kind >= 6 ? planFrom(kyr, data, size) : SavePlan();
    std::array<bool, clsKYR::SectionCount> asked{};
    if (kind <= 2)
        asked.fill(true);
    for (const SaveVisit &visit : plan)
        asked[size_t(positionOf(visit.section, visit.slot))] = true;
    std::vector<int> listings;
    if (readBack) {
        // The read-back asks for the listings of the sections the save visited.
        listings = Verification::Listings(plan);
        std::vector<int> expected;
        for (int k = 0; k < clsKYR::SectionCount; ++k)
            if (asked[size_t(k)])
                expected.push_back(k);
        check(listings == expected, "the read-back asks for other listings than the save plan's sections");
    }

    // The read-back's phases, as ReadBack has them.
    enum class Phase { Retrieving, Pausing, Leaving, Ended } phase = Phase::Retrieving;
    bool done = false;           // a closing conversation has ended
    bool lineStayedOpen = false; // the line was open when the closing conversation started
    std::set<std::tuple<int, QString, QString>> toWrite;

    const auto startClosing = [&] {
        view.written.clear();
        view.logins = 0;
        lineStayedOpen = link && link->isOpen();
        conv.StartClosing();
    };
    const auto retrievalChecked = [&] {
        const QStringList got = conv.Listings();
        check(got.size() == clsKYR::SectionCount, "a retrieval hands over a wrong number of listings");
        for (int k = 0; k < clsKYR::SectionCount; ++k) {
            if (!asked[size_t(k)])
                check(got[k].isEmpty(), "a listing handed over for a section not asked for");
            else if (!view.flooded[size_t(k)])
                check(got[k].toLatin1() == view.listings[size_t(k)],
                      "a listing handed over is not what the encoder said for its section");
        }
    };
    const auto lost = [&] {
        if (phase == Phase::Leaving) {
            phase = Phase::Ended; // what was read back stands
            done = true;
            conv.Disconnect();
        } else if (phase == Phase::Retrieving) {
            conv.Disconnect();
            phase = Phase::Pausing;
        }
    };
    QObject::connect(&conv, &Conversation::retrievalFinished, [&] {
        if (!readBack) {
            retrievalChecked();
            return;
        }
        if (phase != Phase::Retrieving)
            return;
        retrievalChecked();
        phase = Phase::Leaving;
        conv.BuildExitScript();
        startClosing();
    });
    QObject::connect(&conv, &Conversation::closingFinished, [&] {
        done = true;
        if (closing && (kind == 3 || kind == 9))
            check(view.written == toWrite, "a save wrote other settings than its plan's");
        if (readBack) {
            phase = Phase::Ended;
            conv.Disconnect();
        }
    });
    if (readBack) {
        QObject::connect(&conv, &Conversation::halted, lost);
        QObject::connect(&conv, &Conversation::linkClosed, lost);
        QObject::connect(&conv, &Conversation::linkFailed, lost);
    }

    size_t at = 1;
    if (readBack) {
        at = 5;
        conv.OpenConnection(settings, listings);
    } else {
        conv.OpenConnection(settings);
    }
    if (!link)
        return 0;
    if (closing) {
        if (data[0] & 0x80)
            link->peerCloses();
        if (kind == 9) {
            at = 5;
            conv.BuildSaveScript(plan);
            toWrite = planned(plan, kyr);
        } else {
            kyr.setStr(0, StrRow::StreamType, KyrValue(qint32(16)));
            kyr.setSKYR(KyrRow::Rev, QStringLiteral("G"));
            if (kind == 3) {
                conv.BuildSaveScript();
                toWrite = planned(FullSavePlan(kyr), kyr);
            } else if (kind == 4) {
                conv.BuildExitScript();
            } else {
                conv.BuildDefaultsScript();
            }
        }
        link->sent.clear();
        startClosing();
    }

    while (at < size) {
        const uint8_t op = data[at++];
        const qsizetype sentBefore = view.total;
        // A link the read-back closed, or the encoder did, brings nothing more.
        const bool silent = readBack && !link->isOpen();
        if (op < 0xF0) {
            const size_t n = std::min<size_t>(op % 64 + 1, size - at);
            const QByteArray piece(reinterpret_cast<const char *>(data + at), qsizetype(n));
            at += n;
            if (!silent) {
                view.received(piece);
                link->receive(piece);
            }
        } else if (op < 0xFE) {
            if (readBack && (phase == Phase::Pausing || phase == Phase::Ended)) {
                phase = Phase::Retrieving;
                done = lineStayedOpen = false;
                conv.OpenConnection(settings, listings);
            } else {
                timer.fire();
            }
        } else if (op == 0xFE) {
            if (!silent)
                link->peerCloses();
        } else if (!silent && conv.CurrentStep >= 0 && size_t(conv.CurrentStep) < conv.Script.size()) {
            const QByteArray piece = "\r\n" + conv.Script[size_t(conv.CurrentStep)].Expect.toLatin1();
            view.received(piece);
            link->receive(piece);
        }
        check(conv.RxBuffer.size() <= Conversation::MaxRxBuffer + 64, "receive buffer unbounded");
        check(conv.CurrentStep >= -1 && conv.CurrentStep < int(conv.Script.size()), "current step outside the table");
        check(!link->sent.contains('\n'), "a line feed was sent");
        if (done)
            check(view.total == sentBefore, "sent after the end of a closing conversation");
        if (lineStayedOpen)
            check(view.logins <= 1, "logged in again more than once");
    }
    return 0;
}
