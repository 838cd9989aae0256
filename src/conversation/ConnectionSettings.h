#pragma once

#include <QString>

class QSettings;

// The program's own connection settings, kept in the per-user settings store
// under application "KYR7Setup", section "Settings".
struct ConnectionSettings
{
    QString Top = QStringLiteral("0");
    QString Left = QStringLiteral("0");
    QString IP = QStringLiteral("192.168.0.1");
    QString Serial = QStringLiteral("COM1");
    QString Modem = QStringLiteral("COM2");
    QString Method = QStringLiteral("LAN");
    QString Number = QStringLiteral("9,");
    QString INIT = QStringLiteral("AT Z");
    QString DIAL = QStringLiteral("AT DT");
};

// Reads every key with its default. The store is opened by the caller; the
// keys live in its group "Settings".
ConnectionSettings LoadConnectionSettings(QSettings &store);
// Stores "Top" and "Left" unless minimised, then the other seven keys.
void SaveConnectionSettings(QSettings &store, const ConnectionSettings &settings, bool minimised);

// The link the settings choose, as the logs and files name it: "LAN 10.0.0.7",
// "SERIAL COM1", "MODEM COM2 9,5551234".
QString LinkDescription(const ConnectionSettings &settings);
