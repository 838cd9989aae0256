#include "SimOptions.h"

#include "clsKYR.h"

#include <QCommandLineParser>

namespace {
bool number(const QCommandLineParser &parser, const QString &name, int &out, QString &error, int min = 0,
            int max = 1 << 30)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < min || value > max) {
        error = QStringLiteral("--%1 needs a whole number from %2 to %3, not \"%4\"")
                    .arg(name)
                    .arg(min)
                    .arg(max)
                    .arg(parser.value(name));
        return false;
    }
    out = value;
    return true;
}
} // namespace

bool SimOptions::parse(const QStringList &arguments, QString &error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("kyr7sim: a KYR7 encoder simulator speaking the encoder's text protocol over TCP, a serial "
                       "device or a pseudo-terminal.\nPrints one ready line on start: \"kyr7sim listening on "
                       "ADDRESS:PORT\" or \"kyr7sim serial on PATH\"."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QList<QCommandLineOption> options = {
        {QStringLiteral("listen"), QStringLiteral("Listen on ADDR (default 127.0.0.1; \"any\" for all interfaces)."),
         QStringLiteral("ADDR")},
        {QStringLiteral("port"), QStringLiteral("TCP port N (default 1080; 0 picks a free port)."),
         QStringLiteral("N")},
        {QStringLiteral("config"),
         QStringLiteral("Initial configuration FILE: [SECTION] lines, then name=value lines (sections may be "
                        "partial)."),
         QStringLiteral("FILE")},
        {QStringLiteral("state"),
         QStringLiteral("State FILE that SAVE and DEFAULTS write; read at start when it exists (over --config)."),
         QStringLiteral("FILE")},
        {QStringLiteral("transcript"),
         QStringLiteral("Append every byte received to FILE, up to --transcript-limit bytes."), QStringLiteral("FILE")},
        {QStringLiteral("transcript-limit"),
         QStringLiteral("Bytes the transcript records at most (default 67108864; 0: no limit); past it, one line on "
                        "standard error says so."),
         QStringLiteral("BYTES")},
        {QStringLiteral("max-sessions"),
         QStringLiteral("TCP sessions at once (default 64); further clients wait to be accepted."),
         QStringLiteral("N")},
        {QStringLiteral("factory-defaults"),
         QStringLiteral("Start from the definition defaults instead of the demo encoder.")},
        {QStringLiteral("id"), QStringLiteral("Encoder ID."), QStringLiteral("TEXT")},
        {QStringLiteral("serial-number"), QStringLiteral("Encoder serial number."), QStringLiteral("TEXT")},
        {QStringLiteral("rev"), QStringLiteral("Software revision letter (Rev)."), QStringLiteral("TEXT")},
        {QStringLiteral("part-required"), QStringLiteral("PartRequired, e.g. 47215RC."), QStringLiteral("TEXT")},
        {QStringLiteral("part-suggested"), QStringLiteral("PartSuggested, e.g. 47215RG."), QStringLiteral("TEXT")},
        {QStringLiteral("version-suggested"), QStringLiteral("VersionSuggested, e.g. 1.7."), QStringLiteral("TEXT")},
        {QStringLiteral("program-count"), QStringLiteral("ProgramCount, 1 or 2."), QStringLiteral("N")},
        {QStringLiteral("serial"), QStringLiteral("Serve on the serial DEVICE instead of TCP."),
         QStringLiteral("DEVICE")},
        {QStringLiteral("baud"), QStringLiteral("Baud rate of --serial (default 9600, 57600 with --modem)."),
         QStringLiteral("N")},
        {QStringLiteral("pty"), QStringLiteral("Serve on a new pseudo-terminal instead of TCP; prints its path.")},
        {QStringLiteral("pty-link"), QStringLiteral("With --pty, also make a symbolic link PATH to it."),
         QStringLiteral("PATH")},
        {QStringLiteral("modem"),
         QStringLiteral("Act as a Hayes modem first: AT... answers OK, ATD... answers CONNECT 57600.")},
        {QStringLiteral("connect-delay"), QStringLiteral("Milliseconds before CONNECT answers a dial (default 500)."),
         QStringLiteral("MS")},
        {QStringLiteral("close-on-exit"),
         QStringLiteral("Close the connection after answering SAVE, DEFAULTS and EXIT, as a restarting encoder "
                        "does.")},
        {QStringLiteral("delay"), QStringLiteral("Fault: wait MS before each reply."), QStringLiteral("MS")},
        {QStringLiteral("chunk"), QStringLiteral("Fault: write replies in pieces of N bytes."), QStringLiteral("N")},
        {QStringLiteral("chunk-gap"), QStringLiteral("Milliseconds between two pieces (default 5)."),
         QStringLiteral("MS")},
        {QStringLiteral("drop"), QStringLiteral("Fault: never send the K-th reply of a session."), QStringLiteral("K")},
        {QStringLiteral("close-after"), QStringLiteral("Fault: end the session after answering N lines."),
         QStringLiteral("N")},
        {QStringLiteral("close-idle"),
         QStringLiteral("Fault: end a session that has received nothing for MS, as an encoder drops an idle "
                        "connection."),
         QStringLiteral("MS")},
        {QStringLiteral("rate"), QStringLiteral("Fault: send at most BYTES_PER_SEC (960 models 9600 baud)."),
         QStringLiteral("BYTES_PER_SEC")},
        {QStringLiteral("flood"),
         QStringLiteral("Fault: answer a session's first \"*\" with BYTES of text and no prompt."),
         QStringLiteral("BYTES")},
        {QStringLiteral("print-config"),
         QStringLiteral("Print the starting configuration in the file format and exit.")},
    };
    parser.addOptions(options);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unexpected argument ") + parser.positionalArguments().first();
        return false;
    }

    if (parser.isSet(QStringLiteral("listen"))) {
        const QString text = parser.value(QStringLiteral("listen"));
        if (text == QLatin1String("any"))
            listen = QHostAddress::Any;
        else if (!listen.setAddress(text)) {
            error = QStringLiteral("--listen needs an IP address, not \"%1\"").arg(text);
            return false;
        }
    }
    int value = port;
    if (!number(parser, QStringLiteral("port"), value, error, 0, 65535))
        return false;
    port = quint16(value);
    configPath = parser.value(QStringLiteral("config"));
    statePath = parser.value(QStringLiteral("state"));
    transcriptPath = parser.value(QStringLiteral("transcript"));
    factoryDefaults = parser.isSet(QStringLiteral("factory-defaults"));

    const QPair<const char *, int> fields[] = {
        {"id", KyrRow::ID},
        {"serial-number", KyrRow::SerialNumber},
        {"rev", KyrRow::Rev},
        {"part-required", KyrRow::PartRequired},
        {"part-suggested", KyrRow::PartSuggested},
        {"version-suggested", KyrRow::VersionSuggested},
    };
    for (const auto &[name, row] : fields) {
        if (parser.isSet(QLatin1String(name))) {
            QString text = parser.value(QLatin1String(name));
            // A line break would split the value into two lines of the listing.
            text.remove(u'\r');
            text.remove(u'\n');
            identity.append({row, text});
        }
    }
    int programs = 0;
    if (!number(parser, QStringLiteral("program-count"), programs, error, 1, 2))
        return false;
    if (programs)
        identity.append({KyrRow::ProgramCount, QString::number(programs)});

    serialDevice = parser.value(QStringLiteral("serial"));
    pty = parser.isSet(QStringLiteral("pty"));
    ptyLink = parser.value(QStringLiteral("pty-link"));
    if (!ptyLink.isEmpty() && !pty) {
        error = QStringLiteral("--pty-link needs --pty");
        return false;
    }
    if (pty && !serialDevice.isEmpty()) {
        error = QStringLiteral("choose either --serial or --pty");
        return false;
    }
    if (!number(parser, QStringLiteral("baud"), baud, error, 1, 4000000))
        return false;
    printConfig = parser.isSet(QStringLiteral("print-config"));

    const bool modem = parser.isSet(QStringLiteral("modem"));
    const bool serialLine = pty || !serialDevice.isEmpty();
    session.start = modem        ? SimEncoder::Start::Modem
                    : serialLine ? SimEncoder::Start::LoggedOut
                                 : SimEncoder::Start::Command;
    if (baud == 0)
        baud = modem ? 57600 : 9600;
    session.closeOnExit = parser.isSet(QStringLiteral("close-on-exit"));
    return number(parser, QStringLiteral("connect-delay"), session.connectDelayMs, error) &&
           number(parser, QStringLiteral("delay"), session.faults.delayMs, error) &&
           number(parser, QStringLiteral("chunk"), session.faults.chunk, error) &&
           number(parser, QStringLiteral("chunk-gap"), session.faults.chunkGapMs, error) &&
           number(parser, QStringLiteral("drop"), session.faults.drop, error) &&
           number(parser, QStringLiteral("close-after"), session.closeAfter, error) &&
           number(parser, QStringLiteral("close-idle"), session.closeIdleMs, error) &&
           number(parser, QStringLiteral("max-sessions"), session.maxSessions, error, 1, 100000) &&
           number(parser, QStringLiteral("transcript-limit"), transcriptLimit, error) &&
           number(parser, QStringLiteral("rate"), session.faults.bytesPerSec, error) &&
           number(parser, QStringLiteral("flood"), session.floodBytes, error);
}
