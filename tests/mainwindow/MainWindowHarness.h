#pragma once

#include "AppServices.h"
#include "ConnectionSettings.h"
#include "DialogRunner.h"
#include "FixedClock.h"
#include "ManualStepTimer.h"
#include "MemoryLink.h"
#include "ScriptedMessages.h"
#include "frmConnect.h"
#include "frmKYR7Set.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// Runs the dialogs the main window opens without an event loop of their own:
// the connection dialog is inspected and closed with OK or Cancel, every
// other dialog is recorded and handed to onOther.
class TestDialogs : public DialogRunner
{
public:
    int run(QDialog &dialog) override
    {
        opened << QString::fromLatin1(dialog.metaObject()->className());
        if (auto *connect = qobject_cast<frmConnect *>(&dialog)) {
            if (onConnect)
                onConnect(*connect);
            if (auto *b =
                    connect->findChild<QPushButton *>(connectOK ? QStringLiteral("B_OK") : QStringLiteral("B_Cancel")))
                b->click();
            return connect->result();
        }
        if (onOther)
            return onOther(dialog);
        return QDialog::Rejected;
    }

    bool connectOK = true;
    std::function<void(frmConnect &)> onConnect;
    std::function<int(QDialog &)> onOther;
    QStringList opened;
};

// A main window with every service replaced: an INI store and a report
// folder in a temporary folder, scripted message boxes, a fixed clock, a
// manual step timer and (unless a real link is wanted) an in-memory link.
class MainWindowHarness
{
public:
    explicit MainWindowHarness(bool memoryLink = true)
        : store(dir.filePath(QStringLiteral("KYR7Setup.ini")), QSettings::IniFormat)
    {
        QDir(dir.path()).mkpath(QStringLiteral("report"));
        services.settings = &store;
        services.messages = &messages;
        services.dialogs = &dialogs;
        services.clock = &clock;
        services.timer = &timer;
        services.reportFolder = dir.filePath(QStringLiteral("report"));
        if (memoryLink) {
            services.linkFactory = [this](const ConnectionSettings &s) {
                auto made = std::make_unique<MemoryLink>();
                made->connectOnOpen = false;
                link = made.get();
                linkSettings = s;
                ++linksMade;
                return made;
            };
        }
    }

    frmKYR7Set &make()
    {
        window = std::make_unique<frmKYR7Set>(services);
        return *window;
    }

    // Every parameter at its definition default, as an encoder fresh from
    // the factory lists it.
    static void fillWithDefaults(clsKYR &kyr)
    {
        for (Section section : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str}) {
            const auto &defs = clsKYR::Definitions(section);
            for (int slot = 0; slot < clsKYR::Slots(section); ++slot)
                for (int row = 0; row < int(defs.size()); ++row)
                    kyr.setText(section, slot, row, defs[size_t(row)].Default);
        }
    }

    // A started window whose monitor is off, as after a retrieval of an
    // encoder with the factory settings.
    frmKYR7Set &editing()
    {
        make();
        window->Start();
        fillWithDefaults(window->model());
        window->MonitorOff();
        window->SetDisplay();
        return *window;
    }

    template <class T> T *child(const QString &name) const { return window->findChild<T *>(name); }
    QComboBox *combo(const QString &name) const { return child<QComboBox>(name); }
    QLabel *label(const QString &name) const { return child<QLabel>(name); }
    QPushButton *button(const QString &name) const { return child<QPushButton>(name); }

    QStringList monitor() const
    {
        QStringList lines;
        auto *list = child<QListWidget>(QStringLiteral("LB_Monitor"));
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }

    static QStringList items(const QComboBox *box)
    {
        QStringList list;
        for (int i = 0; i < box->count(); ++i)
            list << box->itemText(i);
        return list;
    }

    QString stored(const QString &key)
    {
        store.sync();
        return store.value(QStringLiteral("Settings/") + key).toString();
    }

    QTemporaryDir dir;
    QSettings store;
    ScriptedMessages messages;
    TestDialogs dialogs;
    FixedClock clock;
    ManualStepTimer timer;
    AppServices services;
    QPointer<MemoryLink> link;
    ConnectionSettings linkSettings;
    int linksMade = 0;
    std::unique_ptr<frmKYR7Set> window;
};
