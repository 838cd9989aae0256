#pragma once

#include "ProgressDisplay.h"
#include "TargetJob.h"

#include <QObject>

#include <vector>

// Runs the jobs of many targets at once in one event loop, at most
// maxJobs at a time, in the order given. One job failing stops no other.
class JobRunner : public QObject
{
    Q_OBJECT
public:
    explicit JobRunner(int maxJobs, QObject *parent = nullptr);

    // The runner owns the job.
    TargetJob *add(const Target &target);
    void start();

    const std::vector<TargetJob *> &jobs() const { return all; }
    bool allSucceeded() const;
    // Each target with its outcome and notes, then a count.
    QString summary() const;

signals:
    void allFinished();

private:
    void startMore();
    void onFinished();

    int maxJobs;
    std::vector<TargetJob *> all;
    size_t next = 0;
    int running = 0;
    ProgressDisplay progress;
};
