// Fuzz target over the reply handler: arbitrary text from the encoder, cut
// into arbitrary pieces, mixed with step timer ticks and the encoder closing,
// during a retrieval over each kind of link and during each closing
// conversation.
//
// Input: byte 0 picks the conversation (its top bit: the encoder closes the
// link before a closing conversation starts, which then reconnects; the next
// bit: the closing conversation runs over a serial line, which first checks
// that the session is still logged in); then each byte is an operation:
//   0x00..0xEF  deliver the next (op % 64 + 1) bytes as one piece
//   0xF0..0xFD  tick the step timer
//   0xFE        the encoder closes the connection
//   0xFF        deliver a line end and the current step's prompt
//
// Invariants: no error box (an error box means a routine hit an unexpected
// error); the receive buffer stays bounded; the current step stays inside
// the step table; nothing sent carries a line feed; a finished closing
// conversation never sends again; a closing conversation on a line that
// stayed open logs in again at most once.
#include "Conversation.h"
#include "ManualStepTimer.h"
#include "MemoryLink.h"
#include "Messages.h"
#include "clsKYR.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

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
    static void fail(const QString &why)
    {
        std::fprintf(stderr, "broken: %s\n", qPrintable(why));
        std::abort();
    }
};

void check(bool ok, const char *what)
{
    if (!ok)
        FailOnBox::fail(QString::fromLatin1(what));
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

    clsKYR kyr;
    ManualStepTimer timer;
    FailOnBox messages;
    Conversation conv(kyr, timer, messages);
    MemoryLink *link = nullptr;
    conv.setLinkFactory([&link](const ConnectionSettings &settings) {
        auto made = std::make_unique<MemoryLink>();
        made->connectOnOpen = settings.Method == QLatin1String("LAN");
        link = made.get();
        return std::unique_ptr<Link>(std::move(made));
    });

    ConnectionSettings settings;
    const int kind = (data[0] & 0x3F) % 6;
    const bool serialLine = kind == 1 || (kind >= 3 && (data[0] & 0x40));
    settings.Method = kind == 2    ? QStringLiteral("MODEM")
                      : serialLine ? QStringLiteral("SERIAL")
                                   : QStringLiteral("LAN");
    settings.Serial = settings.Modem = QStringLiteral("/dev/null");
    settings.INIT = QStringLiteral("ATZ|AT&F");
    conv.OpenConnection(settings);
    if (!link)
        return 0;
    if (kind >= 3) {
        if (data[0] & 0x80)
            link->peerCloses();
        kyr.setStr(0, StrRow::StreamType, KyrValue(qint32(16)));
        kyr.setSKYR(KyrRow::Rev, QStringLiteral("G"));
        if (kind == 3)
            conv.BuildSaveScript();
        else if (kind == 4)
            conv.BuildExitScript();
        else
            conv.BuildDefaultsScript();
        link->sent.clear();
        conv.StartClosing();
    }
    const bool loginOnce = kind >= 3 && !(data[0] & 0x80);

    bool done = false;
    QObject::connect(&conv, &Conversation::closingFinished, [&] { done = true; });
    size_t at = 1;
    while (at < size) {
        const uint8_t op = data[at++];
        const qsizetype sentBefore = link->sent.size();
        if (op < 0xF0) {
            const size_t n = std::min<size_t>(op % 64 + 1, size - at);
            link->receive(QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(n)));
            at += n;
        } else if (op < 0xFE) {
            timer.fire();
        } else if (op == 0xFE) {
            link->peerCloses();
        } else if (conv.CurrentStep >= 0 && size_t(conv.CurrentStep) < conv.Script.size()) {
            link->receive("\r\n" + conv.Script[size_t(conv.CurrentStep)].Expect.toLatin1());
        }
        check(conv.RxBuffer.size() <= Conversation::MaxRxBuffer + 64, "receive buffer unbounded");
        check(conv.CurrentStep >= -1 && conv.CurrentStep < int(conv.Script.size()), "current step outside the table");
        check(!link->sent.contains('\n'), "a line feed was sent");
        if (done)
            check(link->sent.size() == sentBefore, "sent after the end of a closing conversation");
        if (loginOnce)
            check(link->sent.count("login") <= 1, "logged in again more than once");
    }
    return 0;
}
