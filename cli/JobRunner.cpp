#include "JobRunner.h"

JobRunner::JobRunner(int maxJobs, QObject *parent)
    : QObject(parent), maxJobs(qMax(1, maxJobs)), progress([this] {
          QList<ProgressDisplay::Line> lines;
          qsizetype width = 0;
          for (const TargetJob *job : all)
              width = qMax(width, job->target().text.size());
          for (const TargetJob *job : all)
              lines.append(
                  {job->target().text.leftJustified(width) + QStringLiteral("  ") + job->status(), job->busy()});
          return lines;
      })
{
}

TargetJob *JobRunner::add(const Target &target)
{
    auto *job = new TargetJob(target, this);
    connect(job, &TargetJob::progressed, &progress, &ProgressDisplay::update);
    // Queued: a job can finish inside start() (a serial port that is not there).
    connect(job, &TargetJob::finished, this, &JobRunner::onFinished, Qt::QueuedConnection);
    all.push_back(job);
    return job;
}

void JobRunner::start()
{
    if (all.empty()) {
        emit allFinished();
        return;
    }
    startMore();
}

void JobRunner::startMore()
{
    while (running < maxJobs && next < all.size()) {
        ++running;
        all[next++]->start();
    }
}

void JobRunner::onFinished()
{
    --running;
    startMore();
    if (running == 0 && next == all.size()) {
        progress.clear();
        emit allFinished();
    }
}

bool JobRunner::allSucceeded() const
{
    for (const TargetJob *job : all) {
        if (!job->succeeded())
            return false;
    }
    return true;
}

QString JobRunner::summary() const
{
    qsizetype width = 0;
    int failed = 0;
    for (const TargetJob *job : all)
        width = qMax(width, job->target().text.size());
    QString out;
    for (const TargetJob *job : all) {
        out += job->target().text.leftJustified(width) + QStringLiteral("  ") +
               (job->succeeded() ? QString() : QStringLiteral("FAILED: ")) + job->outcome() + u'\n';
        for (const QString &note : job->notes())
            out += QString(width + 2, u' ') + QStringLiteral("note: ") + note + u'\n';
        failed += job->succeeded() ? 0 : 1;
    }
    out += QStringLiteral("%1 of %2 targets succeeded").arg(int(all.size()) - failed).arg(all.size());
    if (failed > 0)
        out += QStringLiteral(", %1 failed").arg(failed);
    out += u'\n';
    return out;
}
