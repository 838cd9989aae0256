#include "ConnectionSettings.h"

#include <QSettings>

ConnectionSettings LoadConnectionSettings(QSettings &store)
{
    ConnectionSettings s;
    store.beginGroup(QStringLiteral("Settings"));
    auto read = [&store](const char *key, QString &value) {
        value = store.value(QLatin1String(key), value).toString();
    };
    read("Top", s.Top);
    read("Left", s.Left);
    read("IP", s.IP);
    read("Serial", s.Serial);
    read("Modem", s.Modem);
    read("Method", s.Method);
    read("Number", s.Number);
    read("INIT", s.INIT);
    read("DIAL", s.DIAL);
    store.endGroup();
    return s;
}

void SaveConnectionSettings(QSettings &store, const ConnectionSettings &s, bool minimised)
{
    store.beginGroup(QStringLiteral("Settings"));
    if (!minimised) {
        store.setValue(QStringLiteral("Top"), s.Top);
        store.setValue(QStringLiteral("Left"), s.Left);
    }
    store.setValue(QStringLiteral("IP"), s.IP);
    store.setValue(QStringLiteral("Serial"), s.Serial);
    store.setValue(QStringLiteral("Modem"), s.Modem);
    store.setValue(QStringLiteral("Method"), s.Method);
    store.setValue(QStringLiteral("Number"), s.Number);
    store.setValue(QStringLiteral("INIT"), s.INIT);
    store.setValue(QStringLiteral("DIAL"), s.DIAL);
    store.endGroup();
    store.sync();
}

QString LinkDescription(const ConnectionSettings &settings)
{
    QString link = settings.Method;
    if (settings.Method == QLatin1String("LAN"))
        link += u' ' + settings.IP;
    else if (settings.Method == QLatin1String("SERIAL"))
        link += u' ' + settings.Serial;
    else if (settings.Method == QLatin1String("MODEM"))
        link += u' ' + settings.Modem + u' ' + settings.Number;
    return link;
}
