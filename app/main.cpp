#include "AppServices.h"
#include "Clock.h"
#include "DialogRunner.h"
#include "QtMessages.h"
#include "StepTimer.h"
#include "frmKYR7Set.h"

#include <QApplication>
#include <QSettings>

int main(int argc, char *argv[])
{
    // Qt's own Unix event dispatcher hands socket events over with less
    // overhead than the GLib one, and the program uses nothing of GLib's.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QApplication app(argc, argv);

    // The per-user store: the registry on Windows, KYR7Setup.conf under the
    // user's configuration folder on Linux.
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KYR7Setup"));
    QtMessages messages;
    ExecDialogRunner dialogs;
    SystemClock clock;
    QtStepTimer timer;

    AppServices services;
    services.settings = &store;
    services.messages = &messages;
    services.dialogs = &dialogs;
    services.clock = &clock;
    services.timer = &timer;
    services.reportFolder = QStringLiteral(".");

    frmKYR7Set window(services);
    messages.setParent(&window);
    QObject::connect(&window, &frmKYR7Set::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);
    if (!window.Start() || window.ended())
        return 0;
    return app.exec();
}
