#pragma once

#include "Configuration.h"
#include "CtlOptions.h"
#include "JobRunner.h"
#include "Target.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QString>

#include <cstdio>
#include <map>
#include <vector>

// The four commands of kyr7ctl over files and encoders. Files are read
// before any encoder is contacted; the encoders are then worked on at once
// by a JobRunner, and the results are printed when the last one is done.
class Kyr7Ctl : public QObject
{
    Q_OBJECT
public:
    explicit Kyr7Ctl(const CtlOptions &options, QObject *parent = nullptr);

    // Starts the command; finished() follows, also for a command refused at once.
    void start();
    int exitCode() const { return code; }

    // Exit statuses.
    enum : int { Success = 0, TargetFailed = 1, Different = 1, BadInput = 2, DiffTrouble = 2 };

signals:
    void finished();

private:
    // An operand: a file read at once, or an encoder to retrieve.
    struct Operand
    {
        QString text;
        bool isTarget = false;
        TargetJob *job = nullptr;
        Configuration configuration; // a file's at once, an encoder's once retrieved
    };

    bool prepare(QString &error);
    void refuse(const QString &error);
    void decideApply(TargetJob *job);
    QString logFolder() const;
    // Where human text goes: standard output, or standard error under --json.
    FILE *textOut() const;
    bool readOperand(const QString &text, Operand &operand, QString &error);
    bool addTargets(QString &error);
    bool fetchPaths(QString &error);
    void onRetrieved(TargetJob *job);
    void onAllFinished();
    int printDiffs();
    int printReport();
    void end(int exitCode);

    CtlOptions options;
    JobRunner runner;
    std::vector<Operand> operands;
    std::map<TargetJob *, size_t> operandOf;
    std::map<TargetJob *, QString> fetchPath;       // fetch: where each configuration goes
    std::map<TargetJob *, QStringList> dryRunLines; // apply --dry-run: what would change
    std::map<TargetJob *, QJsonObject> details;     // the JSON fields the command adds to a target
    QJsonArray differences;                         // diff: for the JSON document
    bool refusedFile = false;                       // apply refused a file with settings it cannot write
    int code = Success;
};
