#pragma once

#include <QDialog>

class ChangeReview;
class QLabel;
class QListWidget;
class QTreeWidget;

// "Review Changes": every setting the save will change, by program and
// module, before and after, with the count; and what the checks found.
class frmReview : public QDialog
{
    Q_OBJECT
public:
    // against says what the changes are counted from ("the configuration
    // retrieved from the KYR7", "the file as opened").
    frmReview(const ChangeReview &review, const QStringList &findings, const QString &against,
              QWidget *parent = nullptr);

private:
    QLabel *TB_Summary = nullptr;
    QTreeWidget *TV_Changes = nullptr;
    QListWidget *LB_Findings = nullptr;
};
