// kyr7sim: a KYR7 encoder simulator.
#include "ConfigFile.h"
#include "SimDefaults.h"
#include "SimOptions.h"
#include "SimSerialLine.h"
#include "SimStore.h"
#include "SimTcpServer.h"
#include "SimTranscript.h"
#include "clsKYR.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signalPipe[0], &c, 1);
}

// SIGTERM and SIGINT end the event loop, so that the exit cleans up (the pty link).
void quitOnSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char c;
        [[maybe_unused]] const auto n = ::read(signalPipe[1], &c, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

int fail(const QString &message)
{
    std::fprintf(stderr, "kyr7sim: %s\n", qPrintable(message));
    return 2;
}

// Applies a configuration file, or names every line it refuses: a simulator
// that quietly started from something else than its file would mislead.
bool applyFile(const QString &path, clsKYR &kyr)
{
    const ConfigFile file = ConfigFile::Read(path);
    for (const QString &message : file.messages(path))
        std::fprintf(stderr, "kyr7sim: %s\n", qPrintable(message));
    if (!file.ok())
        return false;
    file.applyTo(kyr);
    return true;
}

void ready(const QString &line)
{
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kyr7sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KYR7_VERSION));

    SimOptions options;
    QString error;
    if (!options.parse(QCoreApplication::arguments(), error))
        return fail(error);

    clsKYR initial;
    if (options.factoryDefaults)
        SimDefaults::ApplyDefinitionDefaults(initial);
    else
        SimDefaults::ApplyDemoConfiguration(initial);
    if (!options.configPath.isEmpty() && !applyFile(options.configPath, initial))
        return 2;
    if (!options.statePath.isEmpty() && QFileInfo::exists(options.statePath) && !applyFile(options.statePath, initial))
        return 2;
    for (const auto &[row, text] : options.identity)
        initial.setSKYR(row, text);

    if (options.printConfig) {
        const QByteArray text = ConfigFile::Text(initial);
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        std::fflush(stdout);
        return 0;
    }

    SimStore store(initial, options.statePath);
    SimTranscript transcript;
    if (!transcript.open(options.transcriptPath, options.transcriptLimit, error))
        return fail(error);
    quitOnSignals(app);

    const bool serial = options.pty || !options.serialDevice.isEmpty();
    SimTcpServer server(store, transcript, options.session);
    SimSerialLine line(store, transcript, options.session);
    if (serial) {
        const bool opened =
            options.pty ? line.openPty(error) : line.openDevice(options.serialDevice, options.baud, error);
        if (!opened)
            return fail(error);
        if (!options.ptyLink.isEmpty()) {
            QFile::remove(options.ptyLink);
            if (!QFile::link(line.path(), options.ptyLink))
                return fail(QStringLiteral("cannot make the link %1 to %2").arg(options.ptyLink, line.path()));
        }
        ready(QStringLiteral("kyr7sim serial on ") + line.path());
    } else {
        if (!server.listen(options.listen, options.port, error))
            return fail(error);
        ready(QStringLiteral("kyr7sim listening on %1:%2").arg(server.address().toString()).arg(server.port()));
    }

    const int result = app.exec();
    if (!options.ptyLink.isEmpty())
        QFile::remove(options.ptyLink);
    return result;
}
