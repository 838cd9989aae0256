#pragma once

#include <QDialog>

class ChangeReview;
class QLabel;
class QListWidget;
class QTreeWidget;

// "Review Changes": every setting the save will change, by program and
// module, before and after, with the count; what the checks found; and, for
// a file sent to a unit, the file's settings that are not sent.
class frmReview : public QDialog
{
    Q_OBJECT
public:
    // against says what the changes are counted from ("the configuration
    // retrieved from the KYR7", "the file as opened").
    // notSent: the file's settings a send leaves out, one a line (none: no list).
    frmReview(const ChangeReview &review, const QStringList &findings, const QString &against,
              const QStringList &notSent = {}, QWidget *parent = nullptr);

private:
    QLabel *TB_Summary = nullptr;
    QTreeWidget *TV_Changes = nullptr;
    QListWidget *LB_Findings = nullptr;
    QListWidget *LB_NotSent = nullptr;
};
