// Times kyr7ctl fetching from many encoders at once against fetching from
// one alone, each a kyr7sim limited to 960 bytes per second (9600 baud), and
// prints both wall times and their ratio. The conversations share one event
// loop, so the many should take hardly longer than the one.
//
//   bench_fleet [--encoders N] [--runs R] [--rate BYTES_PER_SEC]
//
// Each run times the whole kyr7ctl process, one alone and then N at once;
// with several runs the medians are compared.
//
// Then, against one encoder at the same rate, it times a plain fetch, a full
// apply with its read-back, and apply --changed-only with its read-back of a
// three-setting change (each on a fresh encoder), and prints their ratios to
// the fetch.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct Sim
{
    QProcess process;
    quint16 port = 0;

    ~Sim()
    {
        process.terminate();
        process.waitForFinished(3000);
    }
};

// Starts the simulators together, then waits for every ready line.
std::vector<std::unique_ptr<Sim>> startSims(int count, int rate)
{
    std::vector<std::unique_ptr<Sim>> sims;
    for (int i = 0; i < count; ++i) {
        auto sim = std::make_unique<Sim>();
        sim->process.start(QStringLiteral(KYR7SIM_PATH), {QStringLiteral("--port"), QStringLiteral("0"),
                                                          QStringLiteral("--rate"), QString::number(rate)});
        sims.push_back(std::move(sim));
    }
    static const QRegularExpression ready(QStringLiteral("listening on [^:]+:(\\d+)"));
    for (auto &sim : sims) {
        QByteArray out;
        while (!out.contains('\n') && sim->process.waitForReadyRead(10000))
            out += sim->process.readAllStandardOutput();
        const auto m = ready.match(QString::fromLatin1(out));
        sim->port = m.hasMatch() ? m.captured(1).toUShort() : 0;
        if (sim->port == 0)
            return {};
    }
    return sims;
}

// Seconds for one kyr7ctl run, or -1 when it failed.
double timedRun(const QStringList &args)
{
    QProcess ctl;
    QElapsedTimer clock;
    clock.start();
    ctl.start(QStringLiteral(KYR7CTL_PATH), args);
    if (!ctl.waitForFinished(600000) || ctl.exitStatus() != QProcess::NormalExit || ctl.exitCode() != 0) {
        std::fprintf(stderr, "%s", ctl.readAllStandardError().constData());
        return -1;
    }
    return clock.nsecsElapsed() / 1e9;
}

// Seconds for one kyr7ctl fetch of these targets, or -1 when it failed.
double timedFetch(const QStringList &targets, const QString &folder)
{
    QProcess ctl;
    QElapsedTimer clock;
    clock.start();
    ctl.start(QStringLiteral(KYR7CTL_PATH),
              QStringList{QStringLiteral("fetch"), QStringLiteral("--jobs"), QString::number(targets.size()),
                          QStringLiteral("-o"), folder + u'/'} +
                  targets);
    if (!ctl.waitForFinished(600000) || ctl.exitStatus() != QProcess::NormalExit || ctl.exitCode() != 0) {
        std::fprintf(stderr, "%s", ctl.readAllStandardError().constData());
        return -1;
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    return QDir(folder).entryList(QDir::Files).size() == targets.size() ? seconds : -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int encoders = 50, runs = 1, rate = 960;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QByteArray option = argv[i];
        const int value = QByteArray(argv[i + 1]).toInt();
        if (option == "--encoders")
            encoders = qMax(1, value);
        else if (option == "--runs")
            runs = qMax(1, value);
        else if (option == "--rate")
            rate = qMax(1, value);
    }

    const auto sims = startSims(encoders, rate);
    if (sims.empty()) {
        std::fprintf(stderr, "kyr7sim did not start\n");
        return 1;
    }
    QStringList targets;
    for (const auto &sim : sims)
        targets << QStringLiteral("lan:127.0.0.1:%1").arg(sim->port);

    std::vector<double> alone, together;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir one, many;
        const double a = timedFetch(targets.mid(0, 1), one.path());
        const double b = timedFetch(targets, many.path());
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "run %d: a fetch failed\n", run + 1);
            return 1;
        }
        std::printf("run %d: one encoder %.2f s, %d at once %.2f s\n", run + 1, a, encoders, b);
        std::fflush(stdout);
        alone.push_back(a);
        together.push_back(b);
    }
    const double a = median(alone), b = median(together);
    std::printf("fetch at %d B/s, median of %d runs: one encoder %.2f s; %d encoders at once %.2f s; "
                "ratio %.3f (target: at most 1.2)\n",
                rate, runs, a, encoders, b, b / a);
    std::fflush(stdout);

    // A fetch, a full apply and a changed-only apply of three settings, each
    // on an encoder of its own that starts as the demo encoder.
    QTemporaryDir work;
    const QString file = work.filePath(QStringLiteral("three.cfg"));
    QFile three(file);
    if (!three.open(QIODevice::WriteOnly) ||
        three.write("[CAPPGM1]\nLanguage608F1=fra\nLanguage608F2=spn\n[LAN1]\nDid=0x22\n") < 0)
        return 1;
    three.close();
    const QString logs = work.filePath(QStringLiteral("logs"));
    std::vector<double> fetches, fulls, changes;
    for (int run = 0; run < runs; ++run) {
        double seconds[3] = {};
        for (int kind = 0; kind < 3; ++kind) {
            const auto one = startSims(1, rate);
            if (one.empty())
                return 1;
            const QString target = QStringLiteral("lan:127.0.0.1:%1").arg(one.front()->port);
            const QStringList args =
                kind == 0   ? QStringList{QStringLiteral("fetch"), QStringLiteral("-o"), work.filePath("fetched.cfg")}
                : kind == 1 ? QStringList{QStringLiteral("apply"), file}
                            : QStringList{QStringLiteral("apply"), QStringLiteral("--changed-only"), file};
            seconds[kind] = timedRun(args + QStringList{QStringLiteral("--log-dir"), logs, target});
            if (seconds[kind] < 0) {
                std::fprintf(stderr, "run %d: kyr7ctl %s failed\n", run + 1, qPrintable(args.join(u' ')));
                return 1;
            }
        }
        std::printf("run %d: fetch %.2f s, apply %.2f s, apply --changed-only %.2f s\n", run + 1, seconds[0],
                    seconds[1], seconds[2]);
        std::fflush(stdout);
        fetches.push_back(seconds[0]);
        fulls.push_back(seconds[1]);
        changes.push_back(seconds[2]);
    }
    const double f = median(fetches), full = median(fulls), changed = median(changes);
    std::printf("one encoder at %d B/s, median of %d runs: fetch %.2f s; apply with read-back %.2f s (ratio %.3f); "
                "apply --changed-only of 3 settings with read-back %.2f s (ratio %.3f, target: at most 1.3)\n",
                rate, runs, f, full, full / f, changed, changed / f);
    return 0;
}
