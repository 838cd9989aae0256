#pragma once

#include "Conversation.h"

#include <QString>

class Clock;
class DialogRunner;
class FileChooser;
class Messages;
class QSettings;
class StepTimer;

// What the main window needs from its surroundings. The program passes the
// real ones; tests pass scripted message boxes, a dialog runner that drives
// dialogs, a manual step timer, a fixed clock, an INI settings file, a
// temporary report and log folder and the files they choose.
struct AppServices
{
    QSettings *settings = nullptr; // connection settings store
    Messages *messages = nullptr;
    DialogRunner *dialogs = nullptr;
    Clock *clock = nullptr;
    StepTimer *timer = nullptr;
    QString reportFolder = QStringLiteral("."); // folder of kyr.cfg
    quint16 tcpPort = 1080;                     // the encoder's TCP port
    Conversation::LinkFactory linkFactory;      // empty: the real links
    // The conversation log: a file per session in logFolder, or every
    // session appended to logFile when the operator named one. Neither: no log.
    QString logFolder;
    QString logFile;
    FileChooser *files = nullptr; // where configuration files are opened and saved
    // The read-back after a save ("Verify"): its conversation's step timer and
    // the pause between its attempts to connect. None: timers of its own.
    StepTimer *readBackTimer = nullptr;
    StepTimer *pauseTimer = nullptr;
};
