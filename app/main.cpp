#include "AppServices.h"
#include "Clock.h"
#include "DialogRunner.h"
#include "FileChooser.h"
#include "QtMessages.h"
#include "StepTimer.h"
#include "frmKYR7Set.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    // Qt's own Unix event dispatcher hands socket events over with less
    // overhead than the GLib one, and the program uses nothing of GLib's.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(KYR7_VERSION));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("KYR7 Setup Program: sets up a KYR7 encoder."));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption logOption(
        QStringLiteral("log"),
        QStringLiteral("Appends the conversation with the encoder to <file>, instead of a new file per session in the "
                       "program's data folder."),
        QStringLiteral("file"));
    options.addOption(logOption);
    options.addPositionalArgument(QStringLiteral("file"),
                                  QStringLiteral("A KYR7 configuration file to open instead of connecting to a KYR7."),
                                  QStringLiteral("[file]"));
    options.process(app);
    // Lets the desktop match the window to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("kyr7set"));

    // The per-user store: the registry on Windows, KYR7Setup.conf under the
    // user's configuration folder on Linux.
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KYR7Setup"));
    QtMessages messages;
    ExecDialogRunner dialogs;
    SystemClock clock;
    QtStepTimer timer;
    QtFileChooser files;

    AppServices services;
    services.settings = &store;
    services.messages = &messages;
    services.dialogs = &dialogs;
    services.clock = &clock;
    services.timer = &timer;
    services.reportFolder = QStringLiteral(".");
    // In the per-user data folder, under the name the settings use:
    // ~/.local/share/KYR7Setup/logs on Linux, AppData\Local\KYR7Setup\logs on Windows.
    services.logFolder = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                             .filePath(QStringLiteral("KYR7Setup/logs"));
    services.logFile = options.value(logOption);
    services.files = &files;

    frmKYR7Set window(services);
    messages.setParent(&window);
    QObject::connect(&window, &frmKYR7Set::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);
    if (!window.Start(options.positionalArguments().value(0)) || window.ended())
        return 0;
    return app.exec();
}
