#pragma once

#include "AppServices.h"
#include "ConfigDocument.h"
#include "RecentFiles.h"
#include "SendToUnit.h"

#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class frmKYR7Set;

// The main window's File menu and the document it works on: a unit's
// configuration as retrieved, or a configuration file opened instead of
// connecting. It opens and saves files, keeps the recent ones, sends a file
// to a unit (SendToUnit), opens the review of changes and runs the checks
// before a save; the window only redraws.
class Workbench : public QObject
{
    Q_OBJECT
public:
    Workbench(frmKYR7Set &window, const AppServices &services);

    // The menu bar with the File menu, made once.
    QMenuBar *menuBar(QWidget *parent);

    // Reads a file into the document, or says why not in a message box
    // (nothing of it is shown then). True when read.
    bool load(const QString &path);
    // Asks for a file and reads it; false when cancelled or refused.
    bool chooseAndLoad();
    // Puts the document's configuration into the window, which shows it.
    void showFile();
    // After a retrieval: the unit's configuration is the one changes count from.
    void retrieved();

    bool fileOpen() const { return doc.isFile(); }
    const ConfigDocument &document() const { return doc; }
    ConfigDocument &document() { return doc; }
    // A file being sent to a unit (set aside meanwhile).
    bool sending() const { return send.active(); }
    SendToUnit &sender() { return send; }
    // Redraws the title and the menu's state after the model may have changed.
    void refresh();

    // The menu's commands; the window's buttons call them too.
    void open();
    void openRecent(const QString &path);
    bool save();
    bool saveCopyAs();
    void sendToUnit();
    void review();
    // Before "Save and Exit": true when the checks find nothing, or the
    // operator chose to save anyway.
    bool checksAllowSave();
    // Before the window closes or another file replaces this one: true when
    // nothing is unsaved, or the operator saved or chose to discard it.
    bool mayClose();

private:
    // A configuration is on display (no monitor over it).
    bool configurationShown() const;
    QString title() const;
    QString source() const;
    QString folder() const;
    void fillRecent();
    void cannotWrite(const QString &error);
    // Saves a file document; says why not in a message box.
    bool saveFile(ConfigDocument &document, const clsKYR &model);
    // Asks whether to save a file's unsaved edits before it is closed.
    bool keepEdits(ConfigDocument &document, const clsKYR &model);

    frmKYR7Set &window;
    AppServices services;
    ConfigDocument doc;
    RecentFiles recent;
    SendToUnit send;
    QMenuBar *bar = nullptr;
    QMenu *recentMenu = nullptr;
    QAction *A_Open = nullptr;
    QAction *A_Save = nullptr;
    QAction *A_SaveCopyAs = nullptr;
    QAction *A_Send = nullptr;
    QAction *A_Review = nullptr;
    QAction *A_Quit = nullptr;
};
