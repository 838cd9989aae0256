#pragma once

#include "ConnectionSettings.h"

#include <QString>

// An encoder named on the command line:
//   lan:ADDRESS          an IPv4 address, or a serial number (host "KYR7-" + it)
//   lan:ADDRESS:PORT     the same on another TCP port than 1080
//   serial:DEVICE        COMn or a device path, 9600 baud
//   modem:DEVICE:NUMBER  a modem on COMn or a device path, dialling NUMBER
class Target
{
public:
    // True when the text names a target rather than a file.
    static bool IsTarget(const QString &text);
    // False with the reason when the text is no valid target.
    static bool Parse(const QString &text, Target &target, QString &error);

    QString text;                // as given
    ConnectionSettings settings; // Method, IP, Serial, Modem and Number
    quint16 port = 1080;         // TCP port of a LAN target

    // Equal for two targets that reach the same encoder or device:
    // "tcp:HOST:PORT", or "tty:" and the device with links resolved.
    QString key() const;
    // A file name for the target's configuration: "lan_10.0.0.7.kyr7".
    QString fileName() const;
};
