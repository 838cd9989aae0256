#include "Kyr7Ctl.h"

#include "ConfigDiff.h"
#include "ConfigFile.h"
#include "WriteReport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
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
        for (const QString &line : error.split(u'\n'))
            printLine(stderr, QStringLiteral("kyr7ctl: ") + line);
        end(BadInput);
        return;
    }
    runner.start();
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
            error = QStringLiteral("%1 and %2 are the same encoder").arg(seen[target.key()], operand.text);
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
    return command != QLatin1String("fetch") || fetchPaths(error);
}

void Kyr7Ctl::onRetrieved(TargetJob *job)
{
    const clsKYR &encoder = job->configuration();
    const QString &command = options.command;
    if (command == QLatin1String("fetch")) {
        const QString path = fetchPath[job];
        const QStringList comments{
            QStringLiteral("KYR7 %1, software %2 rev. %3")
                .arg(encoder.sKYR(KyrRow::SerialNumber), encoder.sKYR(KyrRow::Software), encoder.sKYR(KyrRow::Rev)),
            QStringLiteral("fetched from %1 on %2 by kyr7ctl %3")
                .arg(job->target().text, QDateTime::currentDateTime().toString(Qt::ISODate),
                     QCoreApplication::applicationVersion())};
        QString error;
        if (ConfigFile::Write(path, encoder, error, comments))
            job->finishWithExit(true, QStringLiteral("fetched to ") + path);
        else
            job->finishWithExit(false, error);
        return;
    }
    Operand &operand = operands[operandOf[job]];
    if (command != QLatin1String("apply")) {
        operand.configuration = Configuration::FromEncoder(encoder);
        job->finishWithExit(true, QStringLiteral("retrieved"));
        return;
    }

    const Configuration &file = operands.front().configuration;
    const clsKYR merged = file.over(encoder, options.withNetwork);
    const auto changes = ConfigDiff::SaveChanges(encoder, merged);
    QStringList kept;
    for (int row = KyrRow::IpNum; row <= KyrRow::DHCP && !options.withNetwork; ++row) {
        if (file.gives(Section::Kyr, 0, row) && file.kyr.sKYR(row) != encoder.sKYR(row))
            kept << clsKYR::Definitions(Section::Kyr)[size_t(row)].Name;
    }
    const QString keptText = kept.isEmpty() ? QString()
                                            : QStringLiteral("; kept its own ") + kept.join(QStringLiteral(", ")) +
                                                  QStringLiteral(" (--with-network takes the file's)");
    if (options.dryRun) {
        QStringList &lines = dryRunLines[job];
        for (const auto &change : changes)
            lines << ConfigDiff::Line(change);
        job->finishWithExit(true,
                            QStringLiteral("would change %1 settings; nothing sent").arg(changes.size()) + keptText);
        return;
    }
    job->save(merged, QStringLiteral("saved; %1 settings changed").arg(changes.size()) + keptText);
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
        for (const auto &d : differences)
            printLine(stdout, (operands.size() > 2 ? b.text + QStringLiteral(": ") : QString()) + ConfigDiff::Line(d));
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
                printLine(stdout, (operands.size() > 2 ? operand.text + QStringLiteral(": ") : QString()) + line);
        }
    }
    std::fflush(stdout);
    if (!runner.jobs().empty())
        print(stderr, runner.summary().toLocal8Bit());
    end(result);
}
