#include "Target.h"

#include "ConfigFile.h"
#include "SerialLink.h"
#include "TcpLink.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString kLan = QStringLiteral("lan:");
const QString kSerial = QStringLiteral("serial:");
const QString kModem = QStringLiteral("modem:");

bool validDevice(const QString &device)
{
    static const QRegularExpression com(QStringLiteral("^COM[1-9][0-9]{0,5}$"),
                                        QRegularExpression::CaseInsensitiveOption);
    return device.startsWith(u'/') || com.match(device).hasMatch();
}

QString deviceError(const QString &device)
{
    return QStringLiteral("\"%1\" is not a serial port (COMn, or a device path such as /dev/ttyUSB0)").arg(device);
}

} // namespace

bool Target::IsTarget(const QString &text)
{
    return text.startsWith(kLan) || text.startsWith(kSerial) || text.startsWith(kModem);
}

bool Target::Parse(const QString &text, Target &target, QString &error)
{
    target = Target();
    target.text = text;
    ConnectionSettings &s = target.settings;
    if (text.startsWith(kLan)) {
        static const QRegularExpression lan(QStringLiteral("^([A-Za-z0-9.-]+)(:([0-9]{1,5}))?$"));
        const auto m = lan.match(text.mid(kLan.size()));
        const int port = m.hasMatch() && m.hasCaptured(3) ? m.captured(3).toInt() : 1080;
        if (!m.hasMatch() || port < 1 || port > 65535) {
            error = QStringLiteral("\"%1\" is not lan:ADDRESS or lan:ADDRESS:PORT (an IPv4 address or a serial "
                                   "number; a port from 1 to 65535)")
                        .arg(text);
            return false;
        }
        s.Method = QStringLiteral("LAN");
        s.IP = m.captured(1);
        target.port = quint16(port);
        return true;
    }
    if (text.startsWith(kSerial)) {
        s.Method = QStringLiteral("SERIAL");
        s.Serial = text.mid(kSerial.size());
        if (!validDevice(s.Serial)) {
            error = deviceError(s.Serial);
            return false;
        }
        return true;
    }
    if (text.startsWith(kModem)) {
        const QString rest = text.mid(kModem.size());
        const qsizetype colon = rest.lastIndexOf(u':');
        s.Method = QStringLiteral("MODEM");
        s.Modem = rest.left(colon);
        s.Number = colon < 0 ? QString() : rest.mid(colon + 1);
        static const QRegularExpression number(QStringLiteral("^[0-9A-Za-z,*#!@ -]+$"));
        if (colon < 0 || !number.match(s.Number).hasMatch()) {
            error =
                QStringLiteral("\"%1\" is not modem:DEVICE:NUMBER (the number to dial after the last \":\")").arg(text);
            return false;
        }
        if (!validDevice(s.Modem)) {
            error = deviceError(s.Modem);
            return false;
        }
        return true;
    }
    error =
        QStringLiteral("\"%1\" is not a target (lan:ADDRESS[:PORT], serial:DEVICE or modem:DEVICE:NUMBER)").arg(text);
    return false;
}

QString Target::key() const
{
    if (settings.Method == QLatin1String("LAN"))
        return QStringLiteral("tcp:%1:%2").arg(TcpLink::HostFor(settings.IP).toLower()).arg(port);
    const bool modem = settings.Method == QLatin1String("MODEM");
    const QString device = SerialLink::DeviceFor(modem ? settings.Modem : settings.Serial);
    // A link and the device it leads to are one port.
    const QString resolved = QFileInfo(device).canonicalFilePath();
    return QStringLiteral("tty:") + (resolved.isEmpty() ? device : resolved);
}

QString Target::fileName() const
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    return QString(text).replace(unsafe, QStringLiteral("_")) + QLatin1String(ConfigFile::Extension);
}
