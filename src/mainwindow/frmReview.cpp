#include "frmReview.h"

#include "ChangeReview.h"
#include "Controls.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

frmReview::frmReview(const ChangeReview &review, const QStringList &findings, const QString &against,
                     const QStringList &notSent, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReview"));
    setWindowTitle(QStringLiteral("Review Changes"));

    TB_Summary = new QLabel(review.summary() + QStringLiteral(", compared with ") + against + u'.', this);
    TB_Summary->setObjectName(QStringLiteral("TB_Summary"));
    TB_Summary->setWordWrap(true);

    TV_Changes = new QTreeWidget(this);
    TV_Changes->setObjectName(QStringLiteral("TV_Changes"));
    TV_Changes->setAccessibleName(QStringLiteral("Changes"));
    TV_Changes->setAccessibleDescription(review.summary());
    TV_Changes->setHeaderLabels(
        {QStringLiteral("Setting"), QStringLiteral("Name"), QStringLiteral("Before"), QStringLiteral("After")});
    TV_Changes->setAlternatingRowColors(true);
    QTreeWidgetItem *program = nullptr;
    for (const ChangeReview::Group &group : review.groups()) {
        if (!program || program->text(0) != group.program) {
            program = new QTreeWidgetItem(TV_Changes, {group.program});
            program->setFirstColumnSpanned(true);
        }
        auto *module =
            new QTreeWidgetItem(program, {QStringLiteral("%1 (%2)").arg(group.module).arg(group.changes.size())});
        module->setFirstColumnSpanned(true);
        for (const ChangeReview::Change &c : group.changes)
            new QTreeWidgetItem(module, {c.readable, c.where + u' ' + c.setting, c.before, c.after});
    }
    TV_Changes->expandAll();
    for (int column = 0; column < TV_Changes->columnCount(); ++column)
        TV_Changes->resizeColumnToContents(column);
    if (TV_Changes->topLevelItemCount() > 0)
        TV_Changes->setCurrentItem(TV_Changes->topLevelItem(0));

    LB_Findings = new QListWidget(this);
    LB_Findings->setObjectName(QStringLiteral("LB_Findings"));
    LB_Findings->setAccessibleName(QStringLiteral("Checks"));
    LB_Findings->setWordWrap(true);
    LB_Findings->addItems(findings.isEmpty() ? QStringList{QStringLiteral("The checks found nothing wrong.")}
                                             : findings);
    LB_Findings->setMaximumHeight(120);

    auto *changesLabel = MakeLabel(QStringLiteral("Label1"), QStringLiteral("Changes"), this, TV_Changes);
    auto *findingsLabel = MakeLabel(QStringLiteral("Label2"),
                                    findings.isEmpty() ? QStringLiteral("Checks")
                                                       : QStringLiteral("Checks: %1 found").arg(findings.size()),
                                    this, LB_Findings);
    QLabel *notSentLabel = nullptr;
    if (!notSent.isEmpty()) {
        LB_NotSent = new QListWidget(this);
        LB_NotSent->setObjectName(QStringLiteral("LB_NotSent"));
        LB_NotSent->setAccessibleName(QStringLiteral("Not sent"));
        LB_NotSent->setWordWrap(true);
        LB_NotSent->addItems(notSent);
        LB_NotSent->setMaximumHeight(120);
        notSentLabel =
            MakeLabel(QStringLiteral("Label3"), QStringLiteral("The file's settings not sent: %1").arg(notSent.size()),
                      this, LB_NotSent);
    }

    auto *close = MakeButton(QStringLiteral("B_Close"), QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *main = new QVBoxLayout(this);
    main->addWidget(TB_Summary);
    main->addWidget(changesLabel);
    main->addWidget(TV_Changes, 1);
    main->addWidget(findingsLabel);
    main->addWidget(LB_Findings);
    if (LB_NotSent) {
        main->addWidget(notSentLabel);
        main->addWidget(LB_NotSent);
    }
    main->addLayout(MakeButtonRow({close}));
    resize(820, 560);
    TV_Changes->setFocus();
}
