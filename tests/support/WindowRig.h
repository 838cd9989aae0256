#pragma once

#include "Dialogs.h"
#include "FixedClock.h"
#include "ManualStepTimer.h"
#include "MemoryLink.h"
#include "ScriptedFiles.h"
#include "SimProcess.h"
#include "TestFiles.h"
#include "frmKYR7Set.h"

#include <QTcpSocket>

#include <optional>

// The main window with every service replaced: an INI store, the report and
// log folders in a temporary folder, scripted message boxes and file choices,
// the dialogs run by the test (Dialogs), a fixed clock and manual step timers;
// links to kyr7sim on loopback once startSim() ran, else in-memory ones.
struct WindowRig
{
    static constexpr int Wait = 20000; // bounds a wait for kyr7sim, which answers as fast as it can

    WindowRig()
    {
        services.linkFactory = [this](const ConnectionSettings &) {
            auto made = std::make_unique<MemoryLink>();
            link = made.get();
            return made;
        };
    }

    // Real links to this port on 127.0.0.1.
    void loopback(quint16 port)
    {
        services.tcpPort = port;
        services.linkFactory = nullptr;
        store.setValue("Settings/IP", "127.0.0.1");
    }

    // kyr7sim with these arguments, its demo configuration changed by these
    // lines of a configuration file.
    bool startSim(QStringList args = {}, const QByteArray &config = {})
    {
        if (!config.isEmpty())
            args << "--config" << write("changes.cfg", config);
        sim.emplace(args);
        if (!sim->start())
            return false;
        loopback(sim->port());
        return true;
    }

    frmKYR7Set &make()
    {
        window = std::make_unique<frmKYR7Set>(services);
        QObject::connect(&window->conversation(), &Conversation::progress, window.get(), [this](int done, int total) {
            progress.append({done, total});
        });
        return *window;
    }

    // A window on a configuration file, or on the connection dialog.
    frmKYR7Set &open(const QString &file = {})
    {
        started = make().Start(file);
        return *window;
    }

    // A window on the unit (OK in the connection dialog), once its configuration is in.
    bool unit()
    {
        dialogs.connectButtons = {"B_OK"};
        QSignalSpy retrieved(&make().conversation(), &Conversation::retrievalFinished);
        return window->Start() && (retrieved.count() > 0 || retrieved.wait(Wait));
    }

    // Clicks a button, answering the question it asks (1 Yes, 0 No).
    void click(const QString &name, int answer = -1)
    {
        if (answer >= 0)
            messages.queueAnswer(answer);
        button(name)->click();
    }

    // Clicks a button that starts a closing conversation ("" for one started
    // already) and waits for its end.
    bool runToDone(const QString &name = {}, int answer = -1)
    {
        if (!name.isEmpty())
            click(name, answer);
        return QTest::qWaitFor([this] { return button("B_Cancel")->text() == "Done"; }, Wait);
    }

    // Another client of kyr7sim sends these lines and waits for the prompt
    // after the last one: what the program sent before has been taken in.
    bool otherClient(const QByteArray &lines = "\r")
    {
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, sim->port());
        client.write(lines);
        const QByteArray last = lines.chopped(1).mid(lines.chopped(1).lastIndexOf('\r') + 1) + "\r\n!";
        QByteArray reply;
        for (QDeadlineTimer deadline(Wait); !reply.endsWith(last) && !deadline.hasExpired();)
            reply += client.waitForReadyRead(100) ? client.readAll() : QByteArray();
        return reply.endsWith(last);
    }

    QString write(const QString &name, const QByteArray &text) { return WriteTestFile(dir.filePath(name), text); }
    QByteArray read(const QString &name) const { return ReadTestFile(dir.filePath(name)); }

    QPushButton *button(const QString &name) const { return child<QPushButton>(*window, name); }
    QLineEdit *value(const QString &name) const { return child<QLineEdit>(*window, name); }
    QComboBox *combo(const QString &name) const { return child<QComboBox>(*window, name); }
    QAction *action(const QString &name) const { return window->findChild<QAction *>(name); }
    QTabBar *tabs() const { return child<QTabBar>(*window, "TS_Program"); }
    QProgressBar *progressBar() const { return child<QProgressBar>(*window, "PB_Progress"); }
    QStringList monitor() const { return texts(child<QListWidget>(*window, "LB_Monitor")->model()); }
    QString lastLine() const { return monitor().value(monitor().size() - 1); }
    QString stored(const QString &key) const { return store.value("Settings/" + key).toString(); }

    QTemporaryDir dir;
    QSettings store{dir.filePath("KYR7Setup.ini"), QSettings::IniFormat};
    ScriptedMessages messages;
    Dialogs dialogs{messages};
    ScriptedFiles files;
    FixedClock clock;
    ManualStepTimer timer, readBackTimer, pauseTimer;
    QPointer<MemoryLink> link;
    AppServices services{&store, &messages, &dialogs,       &clock,     &timer, dir.path(), 0, {}, dir.filePath("logs"),
                         {},     &files,    &readBackTimer, &pauseTimer};
    std::optional<SimProcess> sim;
    std::unique_ptr<frmKYR7Set> window;
    bool started = false;
    QList<std::pair<int, int>> progress; // (done, total) as the conversation reports it
};
