#include "Kyr7Ctl.h"

#include "ApplyPlan.h"
#include "ConfigDiff.h"
#include "ConfigFile.h"
#include "JsonReport.h"
#include "WriteReport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <set>

namespace {

void print(FILE *to, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
}

void printLine(FILE *to, const QString &line)
{
    print(to, line.toLocal8Bit() + '\n');
}

} // namespace

Kyr7Ctl::Kyr7Ctl(const CtlOptions &options, QObject *parent) : QObject(parent), options(options), runner(options.jobs)
{
    connect(&runner, &JobRunner::allFinished, this, &Kyr7Ctl::onAllFinished);
}

void Kyr7Ctl::start()
{
    QString error;
    if (!prepare(error)) {
        refuse(error);
        return;
    }
    runner.start();
}

void Kyr7Ctl::refuse(const QString &error)
{
    for (const QString &line : error.split(u'\n'))
        printLine(stderr, QStringLiteral("kyr7ctl: ") + line);
    if (options.json)
        print(stdout, JsonReport::Document(options.command, BadInput, error, {}, {}));
    end(BadInput);
}

FILE *Kyr7Ctl::textOut() const
{
    return options.json ? stderr : stdout;
}

QString Kyr7Ctl::logFolder() const
{
    if (!options.logDir.isEmpty())
        return options.logDir;
    // The program's log folder has sessions of its own, which it prunes; a
    // folder of kyr7ctl's own inside it keeps the two apart.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("KYR7Setup/logs/kyr7ctl"));
}

void Kyr7Ctl::end(int exitCode)
{
    code = exitCode;
    std::fflush(stdout);
    std::fflush(stderr);
    QTimer::singleShot(0, this, &Kyr7Ctl::finished);
}

bool Kyr7Ctl::readOperand(const QString &text, Operand &operand, QString &error)
{
    operand.text = text;
    operand.isTarget = Target::IsTarget(text);
    if (operand.isTarget)
        return true;
    const ConfigFile file = ConfigFile::Read(text);
    if (!file.ok()) {
        error = file.messages(text).join(u'\n');
        return false;
    }
    if (file.settings().empty()) {
        error = text + QStringLiteral(": gives no setting");
        return false;
    }
    operand.configuration = Configuration::FromFile(file);
    return true;
}

bool Kyr7Ctl::addTargets(QString &error)
{
    // The program's modem settings serve every modem target, unless the
    // command line gives its own.
    ConnectionSettings stored;
    bool storeRead = false;
    std::map<QString, QString> seen;
    for (size_t i = 0; i < operands.size(); ++i) {
        Operand &operand = operands[i];
        if (!operand.isTarget)
            continue;
        Target target;
        if (!Target::Parse(operand.text, target, error))
            return false;
        if (seen.count(target.key())) {
            error = QStringLiteral("%1 and %2 are the same encoder (%3)")
                        .arg(seen[target.key()], operand.text, target.key());
            return false;
        }
        seen[target.key()] = operand.text;
        if (target.settings.Method == QLatin1String("MODEM")) {
            if (!storeRead) {
                QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KYR7Setup"));
                stored = LoadConnectionSettings(store);
                storeRead = true;
            }
            target.settings.INIT = options.hasInit ? options.init : stored.INIT;
            target.settings.DIAL = options.hasDial ? options.dial : stored.DIAL;
        }
        operand.job = runner.add(target);
        operand.job->setConnectTimeout(options.connectTimeout * 1000);
        operandOf[operand.job] = i;
        connect(operand.job, &TargetJob::retrieved, this, [this, job = operand.job] { onRetrieved(job); });
    }
    return true;
}

bool Kyr7Ctl::fetchPaths(QString &error)
{
    const QString output = options.output.isEmpty() ? QStringLiteral(".") : options.output;
    const bool folder = runner.jobs().size() > 1 || QFileInfo(output).isDir() || output.endsWith(u'/');
    if (folder && !QDir().mkpath(output)) {
        error = QStringLiteral("cannot make the folder %1").arg(output);
        return false;
    }
    if (!folder && !QFileInfo(output).absoluteDir().exists()) {
        error = QStringLiteral("there is no folder %1 for %2").arg(QFileInfo(output).absolutePath(), output);
        return false;
    }
    std::set<QString> paths;
    for (TargetJob *job : runner.jobs()) {
        const QString path = folder ? QDir::cleanPath(QDir(output).filePath(job->target().fileName())) : output;
        if (!paths.insert(QFileInfo(path).absoluteFilePath()).second) {
            error = QStringLiteral("two targets would be written to %1").arg(path);
            return false;
        }
        fetchPath[job] = path;
    }
    return true;
}

bool Kyr7Ctl::prepare(QString &error)
{
    const QString &command = options.command;
    const QStringList &texts = options.operands;
    const auto needs = [&](bool ok, const char *usage) {
        if (!ok)
            error = QStringLiteral("usage: kyr7ctl %1 (see kyr7ctl --help)").arg(QLatin1String(usage));
        return ok;
    };
    if (command == QLatin1String("fetch") && !needs(!texts.isEmpty(), "fetch TARGET... [-o FOLDER|FILE]"))
        return false;
    if (command == QLatin1String("diff") && !needs(texts.size() >= 2, "diff A B..."))
        return false;
    if (command == QLatin1String("report") && !needs(texts.size() == 1, "report FILE|TARGET"))
        return false;
    if (command == QLatin1String("apply") && !needs(texts.size() >= 2, "apply FILE TARGET..."))
        return false;

    int targets = 0;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const bool mustBeTarget = command == QLatin1String("fetch") || (command == QLatin1String("apply") && i > 0);
        const bool mustBeFile = command == QLatin1String("apply") && i == 0;
        if (mustBeTarget && !Target::IsTarget(texts[i])) {
            Target target;
            Target::Parse(texts[i], target, error);
            return false;
        }
        if (mustBeFile && Target::IsTarget(texts[i])) {
            error = QStringLiteral("apply takes a file first, not the target %1").arg(texts[i]);
            return false;
        }
        Operand operand;
        if (!readOperand(texts[i], operand, error))
            return false;
        targets += operand.isTarget ? 1 : 0;
        operands.push_back(std::move(operand));
    }
    if (command == QLatin1String("apply") && options.withNetwork && targets > 1) {
        error = QStringLiteral("--with-network would give every target the same address; name one target");
        return false;
    }
    if (!addTargets(error))
        return false;
    // Every log this run names is kept until the run is over: the folder
    // keeps at least as many sessions as there are targets.
    const int count = int(runner.jobs().size());
    ConversationLog::Limits limits;
    limits.sessions = qMax(limits.sessions, count);
    limits.bytes = qMax(limits.bytes, qint64(count) * 1024 * 1024);
    for (TargetJob *job : runner.jobs())
        job->setLogFolder(logFolder(), limits);
    return command != QLatin1String("fetch") || fetchPaths(error);
}

void Kyr7Ctl::onRetrieved(TargetJob *job)
{
    const clsKYR &encoder = job->configuration();
    const QString &command = options.command;
    if (command == QLatin1String("fetch")) {
        const QString path = fetchPath[job];
        const QStringList comments = ConfigFile::Header(
            ConfigFile::Identity(encoder), QStringLiteral("fetched from ") + job->target().text,
            QDateTime::currentDateTime(), QStringLiteral("kyr7ctl ") + QCoreApplication::applicationVersion());
        QString error;
        details[job].insert("unit", JsonReport::Unit(encoder));
        if (ConfigFile::Write(path, encoder, error, comments)) {
            details[job].insert("file", path);
            job->finishWithExit(true, QStringLiteral("fetched to ") + path, TargetJob::State::Fetched);
        } else {
            job->finishWithExit(false, error, TargetJob::State::Failed);
        }
        return;
    }
    if (command != QLatin1String("apply")) {
        operands[operandOf[job]].configuration = Configuration::FromEncoder(encoder);
        job->finishWithExit(true, QStringLiteral("retrieved"), TargetJob::State::Retrieved);
        return;
    }
    decideApply(job);
}

void Kyr7Ctl::decideApply(TargetJob *job)
{
    const clsKYR &encoder = job->configuration();
    const ApplyPlan plan = ApplyPlan::Make(operands.front().configuration, encoder, options.withNetwork);
    QJsonObject &fields = details[job];
    fields.insert("unit", JsonReport::Unit(encoder));
    fields.insert("changes", JsonReport::Changes(plan.changes));
    fields.insert("not_written", JsonReport::NotWritten(plan.notWritten));
    fields.insert("kept", JsonReport::Kept(plan.kept));

    QStringList kept;
    bool network = false;
    for (const ApplyPlan::Kept &k : plan.kept) {
        kept << ApplyPlan::RowName(k.section, k.row);
        network = network || Configuration::IsNetwork(k.section, k.row);
    }
    QString also;
    if (!kept.isEmpty())
        also = QStringLiteral("; kept its own ") + kept.join(QStringLiteral(", ")) +
               (network ? QStringLiteral(" (--with-network takes the file's)") : QString());
    const qsizetype unwritable = plan.notWritten.size();
    QStringList unwritableLines;
    for (const ApplyPlan::Unwritten &u : plan.notWritten)
        unwritableLines << ApplyPlan::Line(u);

    if (options.dryRun) {
        QStringList &lines = dryRunLines[job];
        for (const auto &change : plan.changes)
            lines << ConfigDiff::Line(change);
        lines << unwritableLines;
        if (unwritable > 0)
            also += QStringLiteral("; %1 settings would not be written").arg(unwritable);
        job->finishWithExit(true,
                            QStringLiteral("would change %1 settings; nothing sent").arg(plan.changes.size()) + also,
                            plan.changes.empty() ? TargetJob::State::Unchanged : TargetJob::State::WouldChange);
        return;
    }
    if (unwritable > 0 && !options.skipUnwritable) {
        refusedFile = true;
        for (const QString &line : unwritableLines)
            job->addNote(line);
        job->finishWithExit(false,
                            QStringLiteral("refused: the file gives %1 settings the save cannot write; nothing "
                                           "saved (--skip-unwritable saves the rest)")
                                .arg(unwritable),
                            TargetJob::State::Refused);
        return;
    }
    for (const QString &line : unwritableLines)
        job->addNote(line);
    if (unwritable > 0)
        also += QStringLiteral("; %1 settings not written").arg(unwritable);

    const SavePlan save = options.changedOnly ? plan.changedOnly() : plan.fullSave();
    if (save.empty()) {
        job->finishWithExit(true, QStringLiteral("unchanged; nothing sent") + also, TargetJob::State::Unchanged);
        return;
    }
    const QString outcome = QStringLiteral("%1 settings changed").arg(plan.changes.size()) + also;
    job->save(plan.merged, save, outcome, options.verify ? options.verifyTimeout * 1000 : -1);
    if (!options.verify) {
        job->skipVerification(QStringLiteral("--no-verify"));
    } else if (job->target().settings.Method == QLatin1String("LAN") && plan.movesUnit()) {
        job->skipVerification(QStringLiteral("the save moves the unit from %1 to %2; compare it there with kyr7ctl "
                                             "diff")
                                  .arg(encoder.sKYR(KyrRow::IpNum), plan.merged.sKYR(KyrRow::IpNum)));
    }
}

int Kyr7Ctl::printDiffs()
{
    const Operand &a = operands.front();
    const auto rows = options.settingsOnly ? ConfigDiff::Rows::Settings : ConfigDiff::Rows::All;
    bool differ = false, apart = false;
    bool trouble = a.job && !a.job->succeeded();
    for (size_t i = 1; i < operands.size() && !trouble; ++i) {
        const Operand &b = operands[i];
        if (b.job && !b.job->succeeded())
            continue;
        int compared = 0;
        const auto differences = ConfigDiff::Compare(a.configuration, b.configuration, rows, &compared);
        if (compared == 0) {
            printLine(stderr, QStringLiteral("kyr7ctl: %1 and %2 give no setting in common").arg(a.text, b.text));
            apart = true;
        }
        this->differences.append(JsonReport::Differences(a.text, b.text, compared, differences));
        for (const auto &d : differences)
            printLine(textOut(),
                      (operands.size() > 2 ? b.text + QStringLiteral(": ") : QString()) + ConfigDiff::Line(d));
        differ = differ || !differences.empty();
    }
    for (const Operand &b : operands)
        trouble = trouble || (b.job && !b.job->succeeded());
    return trouble || apart ? DiffTrouble : differ ? Different : Success;
}

int Kyr7Ctl::printReport()
{
    const Operand &operand = operands.front();
    if (operand.job && !operand.job->succeeded())
        return TargetFailed;
    const int given = operand.configuration.given(), all = Configuration::AllRows();
    if (given < all) {
        printLine(stderr, QStringLiteral("kyr7ctl: %1 gives %2 of the %3 settings; the report shows the others "
                                         "as an encoder that listed none of them")
                              .arg(operand.text)
                              .arg(given)
                              .arg(all));
    }
    print(stdout, ReportFileText(operand.configuration.kyr, QDateTime::currentDateTime()));
    return Success;
}

void Kyr7Ctl::onAllFinished()
{
    const QString &command = options.command;
    int result = runner.allSucceeded() ? Success : TargetFailed;
    if (command == QLatin1String("diff")) {
        result = printDiffs();
    } else if (command == QLatin1String("report")) {
        result = printReport();
    } else if (command == QLatin1String("apply")) {
        for (const Operand &operand : operands) {
            for (const QString &line : dryRunLines[operand.job])
                printLine(textOut(), (operands.size() > 2 ? operand.text + QStringLiteral(": ") : QString()) + line);
        }
        if (refusedFile)
            result = BadInput;
    }
    std::fflush(stdout);
    if (!runner.jobs().empty())
        print(stderr, runner.summary().toLocal8Bit());
    if (options.json) {
        QJsonArray targets;
        for (TargetJob *job : runner.jobs())
            targets.append(JsonReport::Target(*job, details[job]));
        print(stdout, JsonReport::Document(command, result, {}, targets, differences));
    }
    end(result);
}
