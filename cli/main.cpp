// kyr7ctl: back up, compare, report and restore KYR7 encoders, many at once.
#include "CtlOptions.h"
#include "JsonReport.h"
#include "Kyr7Ctl.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    // The same event dispatcher as the program: Qt's own, with less overhead
    // per socket event than the GLib one.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kyr7ctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KYR7_VERSION));

    CtlOptions options;
    QString error;
    if (!CtlOptions::Parse(QCoreApplication::arguments(), options, error)) {
        std::fprintf(stderr, "kyr7ctl: %s\nTry kyr7ctl --help.\n", qPrintable(error));
        if (options.json) {
            const QByteArray json = JsonReport::Document(options.command, Kyr7Ctl::BadInput, error, {}, {});
            std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
        }
        return Kyr7Ctl::BadInput;
    }
    if (options.help) {
        std::fputs(qPrintable(CtlOptions::Usage()), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("kyr7ctl %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }

    Kyr7Ctl ctl(options);
    QObject::connect(&ctl, &Kyr7Ctl::finished, &app, [&] { QCoreApplication::exit(ctl.exitCode()); });
    QTimer::singleShot(0, &ctl, &Kyr7Ctl::start);
    return app.exec();
}
