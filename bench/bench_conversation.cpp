// Times whole conversations of the program against kyr7sim on loopback and
// sets them beside a minimal blocking client doing the same exchange with
// the same kyr7sim (the floor on this machine).
//
//   bench_conversation [--runs N] [--rate-limited] [--sim-memory]
//
// Default: N retrievals and N saves of a full configuration, median and time
// per step for the program and for the floor. With --rate-limited, one
// retrieval and one save against kyr7sim limited to 960 bytes per second
// (9600 baud), set beside the time the received bytes alone need. With
// --sim-memory, kyr7sim's peak memory while a client sends 8.6 MB of "*"
// lines and reads nothing, and the time another client then waits for a reply.

#include "Conversation.h"
#include "Messages.h"
#include "StepTimer.h"
#include "clsKYR.h"
#include "mParseSetup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

class SilentMessages : public Messages
{
public:
    void inform(const QString &title, const QString &text) override
    {
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(title), qPrintable(text));
    }
    bool ask(const QString &, const QString &) override { return true; }
    int choose(const QString &, const QString &, const QStringList &, int defaultButton) override
    {
        return defaultButton;
    }
};

struct Sim
{
    QProcess process;
    QTemporaryDir dir;
    quint16 port = 0;

    bool start(const QStringList &extra)
    {
        QStringList args{"--port", "0", "--state", dir.filePath("state.cfg")};
        args += extra;
        process.start(QStringLiteral(KYR7SIM_PATH), args);
        if (!process.waitForStarted(5000))
            return false;
        QByteArray out;
        while (!out.contains('\n') && process.waitForReadyRead(5000))
            out += process.readAllStandardOutput();
        const auto m = QRegularExpression(QStringLiteral(":(\\d+)")).match(QString::fromLatin1(out));
        port = m.hasMatch() ? m.captured(1).toUShort() : 0;
        return port != 0;
    }
    ~Sim()
    {
        process.terminate();
        process.waitForFinished(3000);
    }
};

struct Exchange
{
    QByteArray command;
    QByteArray expect;
};

// The steps a conversation goes through, in the order the reply handler
// takes them (the retrieval jumps over the steps the bridge visits fold in).
std::vector<Exchange> exchanges(const Conversation &conv, bool retrieval)
{
    std::vector<Exchange> out;
    int i = 0;
    while (i < static_cast<int>(conv.Script.size()) && !conv.Script[i].Command.isEmpty()) {
        out.push_back({conv.Script[i].Command.toLatin1(), conv.Script[i].Expect.toLatin1()});
        const int d = i - conv.SetupStep;
        if (retrieval && d == 63)
            i = conv.SetupStep + 65;
        else if (retrieval && d == 65)
            i = conv.SetupStep + 68;
        else if (retrieval && d == 68)
            i = conv.SetupStep + 70;
        else
            ++i;
    }
    return out;
}

// The floor: a blocking client that sends each command and reads until the
// expected text has arrived. Returns the bytes received.
qint64 blockingRun(quint16 port, const std::vector<Exchange> &steps)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    qint64 received = 0;
    char buf[65536];
    for (const auto &step : steps) {
        if (::send(fd, step.command.constData(), step.command.size(), 0) < 0)
            break;
        QByteArray got;
        while (!got.toLower().contains(step.expect.toLower())) {
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) {
                ::close(fd);
                return received;
            }
            got.append(buf, n);
            received += n;
        }
    }
    ::close(fd);
    return received;
}

int connectedSocket(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const timeval wait{2, 0}; // a send or receive that makes no progress for 2 s gives up
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

qint64 peakMemoryKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const auto m = QRegularExpression(QStringLiteral("VmHWM:\\s+(\\d+)")).match(QString::fromLatin1(status.readAll()));
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

int simMemory()
{
    Sim sim;
    if (!sim.start({})) {
        std::fprintf(stderr, "kyr7sim did not start\n");
        return 1;
    }
    const qint64 before = peakMemoryKb(sim.process.processId());
    const int flooder = connectedSocket(sim.port);
    const QByteArray flood = "SETUP\rKYR\r" + QByteArray("*\r").repeated(4300000);
    qint64 sent = 0;
    while (sent < flood.size()) {
        const ssize_t n = ::send(flooder, flood.constData() + sent, size_t(flood.size() - sent), 0);
        if (n <= 0)
            break; // held back: kyr7sim no longer reads
        sent += n;
    }
    QElapsedTimer clock;
    clock.start();
    const qint64 answered = blockingRun(sim.port, {{"SETUP\r", ">"}});
    const double replyMs = clock.nsecsElapsed() / 1e6;
    std::printf("client that does not read: %.1f of %.1f MB taken; kyr7sim peak memory %.1f MB (%.1f MB at start)\n",
                sent / 1e6, flood.size() / 1e6, peakMemoryKb(sim.process.processId()) / 1024.0, before / 1024.0);
    std::printf("another client's reply: %s after %.1f ms\n", answered > 0 ? "came" : "did not come", replyMs);
    ::close(flooder);
    return 0;
}

// Fills every stream so that a save sends every row it can.
void fillFullConfiguration(clsKYR &kyr)
{
    const int types[] = {1, 16, 1, 16, 16, 1, 16, 16, 1, 16, 16, 1, 2, 2, 1, 1, 4, 4};
    for (int s = 0; s < clsKYR::StreamSlots; ++s) {
        kyr.setStr(s, StrRow::StreamType, KyrValue(qint32(types[s])));
        kyr.setStr(s, StrRow::Program, KyrValue(double(1 + s % 2)));
    }
    kyr.setSKYR(KyrRow::Rev, QStringLiteral("G"));
}

struct RunResult
{
    double ms = 0;
    int steps = 0;
    qint64 bytes = 0;
};

class Runner : public QObject
{
public:
    clsKYR kyr;
    QtStepTimer timer;
    SilentMessages messages;
    Conversation conv{kyr, timer, messages};

    // Opens a connection and runs the retrieval.
    RunResult retrieve(quint16 port)
    {
        ConnectionSettings settings;
        settings.Method = QStringLiteral("LAN");
        settings.IP = QStringLiteral("127.0.0.1");
        conv.TcpPort = port;
        RunResult r = timed(
            &Conversation::retrievalFinished, [&] { conv.OpenConnection(settings); }, true);
        if (r.ms >= 0)
            ParseSetup(kyr, conv.Listings());
        return r;
    }

    // Saves a full configuration on the open connection.
    RunResult save()
    {
        fillFullConfiguration(kyr);
        conv.BuildSaveScript();
        RunResult r = timed(
            &Conversation::closingFinished, [&] { conv.StartClosing(); }, false);
        conv.Disconnect();
        return r;
    }

private:
    // Runs start() and the event loop until `finished` (or a halt); ms is -1
    // when the conversation did not finish.
    RunResult timed(void (Conversation::*finished)(), const std::function<void()> &start, bool retrieval)
    {
        QEventLoop loop;
        bool done = false;
        auto c1 = connect(&conv, finished, &loop, [&] {
            done = true;
            loop.quit();
        });
        auto c2 = connect(&conv, &Conversation::halted, &loop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        start();
        QTimer::singleShot(300000, &loop, &QEventLoop::quit);
        loop.exec();
        RunResult r{done ? t.nsecsElapsed() / 1e6 : -1, static_cast<int>(exchanges(conv, retrieval).size()), 0};
        disconnect(c1);
        disconnect(c2);
        return r;
    }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void report(const char *what, const std::vector<double> &app, const std::vector<double> &floor, int steps)
{
    const double a = median(app), f = median(floor);
    std::printf("%-10s program: median %8.2f ms, %6.3f ms/step | floor: median %8.2f ms, %6.3f ms/step | "
                "ratio %.3f (%d steps, %zu runs)\n",
                what, a, a / steps, f, f / steps, f > 0 ? a / f : 0.0, steps, app.size());
}

} // namespace

int main(int argc, char **argv)
{
    // The same event dispatcher as the program (see app/main.cpp).
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    int runs = 30;
    bool rateLimited = false;
    bool simMemory = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = QByteArray(argv[++i]).toInt();
        else if (a == "--rate-limited")
            rateLimited = true;
        else if (a == "--sim-memory")
            simMemory = true;
    }

    if (simMemory)
        return ::simMemory();
    if (rateLimited) {
        Sim sim;
        if (!sim.start({"--rate", "960"})) {
            std::fprintf(stderr, "kyr7sim did not start\n");
            return 1;
        }
        Runner runner;
        const RunResult r = runner.retrieve(sim.port);
        Runner probe; // count the bytes of the same exchange with the floor client on a fast kyr7sim
        Sim fast;
        fast.start({});
        probe.conv.BuildSetupScript(ConnectionSettings{});
        const qint64 retrievalBytes = blockingRun(fast.port, exchanges(probe.conv, true));
        std::printf("retrieval at 960 B/s: %.1f s; the %lld bytes received alone need %.1f s (+%.1f%%)\n", r.ms / 1000,
                    static_cast<long long>(retrievalBytes), retrievalBytes / 960.0,
                    100.0 * (r.ms / 1000 / (retrievalBytes / 960.0) - 1));
        fillFullConfiguration(probe.kyr);
        probe.conv.BuildSaveScript();
        const auto saveSteps = exchanges(probe.conv, false);
        const RunResult s = runner.save();
        const qint64 saveBytes = blockingRun(fast.port, saveSteps);
        std::printf("save at 960 B/s:      %.1f s; the %lld bytes received alone need %.1f s (+%.1f%%)\n", s.ms / 1000,
                    static_cast<long long>(saveBytes), saveBytes / 960.0,
                    100.0 * (s.ms / 1000 / (saveBytes / 960.0) - 1));
        return 0;
    }

    Sim sim;
    if (!sim.start({})) {
        std::fprintf(stderr, "kyr7sim did not start\n");
        return 1;
    }
    std::vector<double> appRetrieve, appSave, floorRetrieve, floorSave;
    int retrieveSteps = 0, saveSteps = 0;
    for (int i = 0; i < runs; ++i) {
        Runner runner;
        const RunResult r = runner.retrieve(sim.port);
        const RunResult s = runner.save();
        if (r.ms < 0 || s.ms < 0) {
            std::fprintf(stderr, "run %d did not complete\n", i);
            return 1;
        }
        appRetrieve.push_back(r.ms);
        appSave.push_back(s.ms);
        retrieveSteps = r.steps;
        saveSteps = s.steps;

        Runner probe;
        probe.conv.BuildSetupScript(ConnectionSettings{});
        const auto retrieval = exchanges(probe.conv, true);
        fillFullConfiguration(probe.kyr);
        probe.conv.BuildSaveScript();
        const auto save = exchanges(probe.conv, false);
        QElapsedTimer t;
        t.start();
        blockingRun(sim.port, retrieval);
        floorRetrieve.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        blockingRun(sim.port, save);
        floorSave.push_back(t.nsecsElapsed() / 1e6);
    }
    report("retrieval", appRetrieve, floorRetrieve, retrieveSteps);
    report("save", appSave, floorSave, saveSteps);
    return 0;
}
