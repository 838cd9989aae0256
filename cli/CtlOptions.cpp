#include "CtlOptions.h"

#include <QCommandLineParser>

namespace {

struct Rule
{
    const char *option;
    bool CtlOptions::*flag;
    const char *commands;
};

} // namespace

QString CtlOptions::Usage()
{
    return QStringLiteral(
        "Usage: kyr7ctl COMMAND [OPTIONS] OPERAND...\n"
        "Back up, compare, report and restore KYR7 encoders, many at once.\n"
        "\n"
        "Commands:\n"
        "  fetch TARGET... [-o FOLDER|FILE]  write each encoder's configuration to a file\n"
        "  diff A B...                       print how each B differs from A (files or targets)\n"
        "  report FILE|TARGET                print the configuration report (kyr.cfg)\n"
        "  apply FILE TARGET...              write the file's settings to the encoders\n"
        "\n"
        "Targets:\n"
        "  lan:ADDRESS[:PORT]    an IPv4 address or a serial number (host KYR7-NUMBER), port 1080\n"
        "  serial:DEVICE         COMn or a device path, 9600 baud\n"
        "  modem:DEVICE:NUMBER   a modem on COMn or a device path that dials NUMBER\n"
        "Any other operand is a file.\n"
        "\n"
        "Options:\n"
        "  -o, --output PATH  fetch: the file (one target) or folder to write to (default .)\n"
        "  -j, --jobs N       encoders talked to at once (default 64)\n"
        "  --dry-run          apply: print what would change; send nothing but the retrieval and EXIT\n"
        "  --with-network     apply: take the file's network settings too (one target only)\n"
        "  --changed-only     apply: send only the settings that change (for slow links)\n"
        "  --skip-unwritable  apply: save even when the file gives settings the save cannot write\n"
        "  --no-verify        apply: do not read the settings back after the save\n"
        "  --verify-timeout S\n"
        "                     apply: seconds to keep trying to reconnect for the read-back (default 60)\n"
        "  --settings-only    diff: compare only what a save writes, without the network settings\n"
        "  --json             print one JSON document on standard output; the text goes to standard error\n"
        "  --log-dir FOLDER   where the conversation logs go (default: the program's log folder, kyr7ctl/)\n"
        "  --connect-timeout S\n"
        "                     seconds a LAN connection attempt is given (default 6)\n"
        "  --init COMMANDS    modem initialisation, \"|\" between commands (default: the program's setting)\n"
        "  --dial COMMAND     modem dial command (default: the program's setting)\n"
        "  -h, --help         this text\n"
        "  --version          the version\n"
        "\n"
        "Exit status: 0 success (diff: equal); 1 a target failed or was not verified (diff: they\n"
        "differ); 2 a bad command line or file, or apply refused a file with settings the save cannot\n"
        "write (diff: or a target failed).\n");
}

bool CtlOptions::Parse(const QStringList &arguments, CtlOptions &options, QString &error)
{
    QCommandLineParser parser;
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")}, {}, QStringLiteral("PATH"));
    const QCommandLineOption jobs({QStringLiteral("j"), QStringLiteral("jobs")}, {}, QStringLiteral("N"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"));
    const QCommandLineOption withNetwork(QStringLiteral("with-network"));
    const QCommandLineOption settingsOnly(QStringLiteral("settings-only"));
    const QCommandLineOption init(QStringLiteral("init"), {}, QStringLiteral("COMMANDS"));
    const QCommandLineOption dial(QStringLiteral("dial"), {}, QStringLiteral("COMMAND"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption noVerify(QStringLiteral("no-verify"));
    const QCommandLineOption verifyTimeout(QStringLiteral("verify-timeout"), {}, QStringLiteral("SECONDS"));
    const QCommandLineOption skipUnwritable(QStringLiteral("skip-unwritable"));
    const QCommandLineOption changedOnly(QStringLiteral("changed-only"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption logDir(QStringLiteral("log-dir"), {}, QStringLiteral("FOLDER"));
    const QCommandLineOption connectTimeout(QStringLiteral("connect-timeout"), {}, QStringLiteral("SECONDS"));
    parser.addOptions({output, jobs, dryRun, withNetwork, settingsOnly, init, dial, help, version, noVerify,
                       verifyTimeout, skipUnwritable, changedOnly, json, logDir, connectTimeout});
    // Known before anything else can go wrong, so that a refused command
    // line still gives its JSON document.
    options.json = arguments.contains(QStringLiteral("--json"));
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    if (options.help || options.version)
        return true;

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        error = QStringLiteral("no command given");
        return false;
    }
    options.command = positional.first();
    options.operands = positional.mid(1);
    if (!QStringList{"fetch", "diff", "report", "apply"}.contains(options.command)) {
        error = QStringLiteral("unknown command \"%1\"").arg(options.command);
        return false;
    }
    options.withNetwork = parser.isSet(withNetwork);
    options.dryRun = parser.isSet(dryRun);
    options.settingsOnly = parser.isSet(settingsOnly);
    options.hasInit = parser.isSet(init);
    options.init = parser.value(init);
    options.hasDial = parser.isSet(dial);
    options.dial = parser.value(dial);
    options.output = parser.value(output);
    options.verify = !parser.isSet(noVerify);
    options.skipUnwritable = parser.isSet(skipUnwritable);
    options.changedOnly = parser.isSet(changedOnly);
    options.logDir = parser.value(logDir);
    options.noVerifyGiven = parser.isSet(noVerify);
    options.verifyTimeoutGiven = parser.isSet(verifyTimeout);

    static const Rule rules[] = {{"dry-run", &CtlOptions::dryRun, "apply"},
                                 {"with-network", &CtlOptions::withNetwork, "apply"},
                                 {"skip-unwritable", &CtlOptions::skipUnwritable, "apply"},
                                 {"changed-only", &CtlOptions::changedOnly, "apply"},
                                 {"no-verify", &CtlOptions::noVerifyGiven, "apply"},
                                 {"verify-timeout", &CtlOptions::verifyTimeoutGiven, "apply"},
                                 {"settings-only", &CtlOptions::settingsOnly, "diff"}};
    for (const Rule &rule : rules) {
        if (options.*rule.flag && options.command != QLatin1String(rule.commands)) {
            error = QStringLiteral("--%1 is for %2 only").arg(QLatin1String(rule.option), QLatin1String(rule.commands));
            return false;
        }
    }
    if (options.json && options.command == QLatin1String("report")) {
        error = QStringLiteral("--json is for fetch, diff and apply (report prints the report itself)");
        return false;
    }
    if (parser.isSet(output) && options.command != QLatin1String("fetch")) {
        error = QStringLiteral("-o is for fetch only");
        return false;
    }
    const auto seconds = [&](const QCommandLineOption &option, int low, int &value) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        value = parser.value(option).toInt(&ok);
        if (ok && value >= low && value <= 3600)
            return true;
        error = QStringLiteral("--%1 takes a number of seconds from %2 to 3600, not \"%3\"")
                    .arg(option.names().constFirst())
                    .arg(low)
                    .arg(parser.value(option));
        return false;
    };
    if (!seconds(verifyTimeout, 0, options.verifyTimeout) || !seconds(connectTimeout, 1, options.connectTimeout))
        return false;
    if (parser.isSet(jobs)) {
        bool ok = false;
        options.jobs = parser.value(jobs).toInt(&ok);
        if (!ok || options.jobs < 1 || options.jobs > 1000) {
            error = QStringLiteral("--jobs takes a number from 1 to 1000, not \"%1\"").arg(parser.value(jobs));
            return false;
        }
    }
    return true;
}
