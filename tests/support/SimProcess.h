#pragma once

#include "SimConfig.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs kyr7sim (the binary named by the environment variable KYR7SIM) for a
// test. Adds "--port 0" (unless the extra arguments choose --port, --pty or
// --serial), and a transcript and a state file in its own temporary folder
// (unless the extra arguments name them).
class SimProcess
{
public:
    explicit SimProcess(const QStringList &extraArgs = {}) : args(extraArgs)
    {
        if (!args.contains(QStringLiteral("--port")) && !args.contains(QStringLiteral("--pty")) &&
            !args.contains(QStringLiteral("--serial")))
            args << QStringLiteral("--port") << QStringLiteral("0");
        transcriptFile = optionValue(QStringLiteral("--transcript"));
        if (transcriptFile.isEmpty()) {
            transcriptFile = tempDir.filePath(QStringLiteral("transcript.bin"));
            args << QStringLiteral("--transcript") << transcriptFile;
        }
        stateFile = optionValue(QStringLiteral("--state"));
        if (stateFile.isEmpty()) {
            stateFile = tempDir.filePath(QStringLiteral("state.cfg"));
            args << QStringLiteral("--state") << stateFile;
        }
    }

    ~SimProcess() { stop(); }

    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // Starts the simulator and waits for its ready line.
    bool start(int timeoutMs = 10000)
    {
        const QString program = qEnvironmentVariable("KYR7SIM");
        if (program.isEmpty())
            return false;
        proc.setProgram(program);
        proc.setArguments(args);
        proc.start();
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            collect();
            if (parseReady())
                return true;
            if (proc.state() == QProcess::NotRunning)
                return false;
            QSignalSpy spy(&proc, &QProcess::readyReadStandardOutput);
            collect();
            if (parseReady())
                return true;
            spy.wait(int(qMin<qint64>(200, qMax<qint64>(1, deadline.remainingTime()))));
        }
        return false;
    }

    quint16 port() const { return readyPort; }
    QString ptyPath() const { return readyPath; }
    QString transcriptPath() const { return transcriptFile; }
    QString statePath() const { return stateFile; }

    // What the unit stored, as the state file holds it (a fresh model when nothing was stored).
    clsKYR stored() const
    {
        clsKYR kyr;
        LoadSimConfig(stateFile, kyr);
        return kyr;
    }

    QByteArray transcript() const
    {
        QFile f(transcriptFile);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }

    // Everything printed so far: standard output, then standard error.
    QString output() const
    {
        collect();
        return QString::fromLocal8Bit(printed + printedErr);
    }

    void stop()
    {
        if (proc.state() == QProcess::NotRunning)
            return;
        proc.terminate();
        if (!proc.waitForFinished(5000)) {
            proc.kill();
            proc.waitForFinished(5000);
        }
        collect();
    }

    // The running process, for tests that watch it end.
    QProcess &process() { return proc; }

private:
    QString optionValue(const QString &name) const
    {
        const qsizetype i = args.indexOf(name);
        return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : QString();
    }

    void collect() const
    {
        printed += proc.readAllStandardOutput();
        printedErr += proc.readAllStandardError();
    }

    bool parseReady()
    {
        const QString text = QString::fromLocal8Bit(printed);
        for (const QString &line : text.split(QLatin1Char('\n'))) {
            static const QString tcp = QStringLiteral("kyr7sim listening on ");
            static const QString serial = QStringLiteral("kyr7sim serial on ");
            if (line.startsWith(tcp) && text.contains(line + QLatin1Char('\n'))) {
                const QString rest = line.mid(tcp.size()).trimmed();
                readyPort = rest.mid(rest.lastIndexOf(QLatin1Char(':')) + 1).toUShort();
                return readyPort != 0;
            }
            if (line.startsWith(serial) && text.contains(line + QLatin1Char('\n'))) {
                readyPath = line.mid(serial.size()).trimmed();
                return !readyPath.isEmpty();
            }
        }
        return false;
    }

    QTemporaryDir tempDir;
    QStringList args;
    QString transcriptFile;
    QString stateFile;
    mutable QProcess proc;
    mutable QByteArray printed;
    mutable QByteArray printedErr;
    quint16 readyPort = 0;
    QString readyPath;
};
