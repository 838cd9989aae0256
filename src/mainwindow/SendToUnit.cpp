#include "SendToUnit.h"

#include "ChangeReview.h"
#include "DialogRunner.h"
#include "Messages.h"
#include "SaveRows.h"
#include "SendSummary.h"
#include "SetupChecks.h"
#include "Workbench.h"
#include "frmConnect.h"
#include "frmKYR7Set.h"

namespace {
const QString kCRLF = QStringLiteral("\r\n");
}

SendToUnit::SendToUnit(frmKYR7Set &mainWindow, Workbench &workbench, const AppServices &appServices)
    : window(mainWindow), bench(workbench), services(appServices)
{
}

void SendToUnit::start()
{
    if (active() || !bench.fileOpen() || window.monitorShowing())
        return;
    frmConnect dialog(window.connection(), *services.dialogs, &window);
    dialog.hideOpenFile();
    services.dialogs->run(dialog);
    if (!dialog.ConnectOK)
        return;
    aside = bench.document();
    asideModel = window.model();
    // No document while the unit is reached: nothing to save or review.
    bench.document() = ConfigDocument();
    window.model() = clsKYR();
    now = Stage::Retrieving;
    window.SetSendMode();
    bench.refresh();
    window.ConnectToUnit();
}

void SendToUnit::retrieved(bool suits)
{
    if (now != Stage::Retrieving)
        return;
    if (!suits) {
        now = Stage::Refused;
        window.conversation().Disconnect();
        window.MonitorOn();
        window.MonitorAdd(QStringLiteral("Nothing was sent: this program cannot set up this KYR7"));
        window.tellWhereTheLogIs();
        return;
    }
    unit = window.model();
    plan = ApplyPlan::Make(aside.configuration(asideModel), unit, false);
    bench.document().fromUnit(unit);
    window.model() = plan->merged;
    now = Stage::Ready;
    window.ShowConfiguration();
    window.FocusSendButton();
    // After the retrieval's own signal has been handled.
    QMetaObject::invokeMethod(this, &SendToUnit::confirm, Qt::QueuedConnection);
}

void SendToUnit::confirm()
{
    if (now != Stage::Ready || window.monitorShowing())
        return;
    const QStringList buttons{QStringLiteral("Send"), QStringLiteral("Review Changes..."), QStringLiteral("Go Back")};
    for (;;) {
        const clsKYR &shown = window.model();
        const QString text = SendSummary::Text(aside.fileName(), unitName(), ChangeReview::Build(unit, shown).count(),
                                               *plan, SetupChecks::Run(shown));
        // Go Back is the default: Return or Escape on this box never writes.
        const int chosen =
            services.messages->choose(QStringLiteral("Send %1 to the KYR7").arg(aside.fileName()), text, buttons, 2);
        if (chosen == 1) {
            bench.review();
            continue;
        }
        if (chosen != 0)
            return;
        // Edited here since the file's settings were taken: the save is of
        // what the window shows.
        const SavePlan save = shown == plan->merged ? plan->fullSave() : FullSavePlan(shown);
        if (window.SaveToUnit(save))
            now = Stage::Saving;
        return;
    }
}

void SendToUnit::back()
{
    if (!wayBack())
        return;
    if (now == Stage::Ready && window.model() != plan->merged &&
        !services.messages->ask(QStringLiteral("Back to the file"),
                                QStringLiteral("The changes made here to what the KYR7 would hold are not in %1 and "
                                               "will be lost.")
                                        .arg(aside.fileName()) +
                                    kCRLF + QStringLiteral("Go back to the file?")))
        return;
    window.EndConversation();
    bench.document() = aside;
    window.model() = asideModel;
    now = Stage::Idle;
    plan.reset();
    window.SetFileMode(true);
    window.ShowConfiguration();
    window.FocusSendButton();
}

void SendToUnit::saved()
{
    if (now != Stage::Saving)
        return;
    now = Stage::Saved;
    bench.refresh();
}

QStringList SendToUnit::notSent() const
{
    return plan ? SendSummary::NotSent(*plan) : QStringList();
}

QString SendToUnit::against() const
{
    return QStringLiteral("what %1 held when retrieved").arg(unitName());
}

QString SendToUnit::unitName() const
{
    const QString serial = unit.sKYR(KyrRow::SerialNumber);
    return (serial.isEmpty() ? QStringLiteral("the KYR7") : QStringLiteral("the KYR7 ") + serial) +
           QStringLiteral(" over ") + LinkDescription(window.connection());
}

QString SendToUnit::title() const
{
    const QString name = aside.fileName(), serial = unit.sKYR(KyrRow::SerialNumber);
    QString what;
    switch (now) {
    case Stage::Retrieving:
    case Stage::Refused:
        what = QStringLiteral("Sending ") + name;
        break;
    case Stage::Saved:
        what = name + QStringLiteral(" sent to the KYR7 ") + serial;
        break;
    default:
        what = QStringLiteral("Sending %1 to the KYR7 %2").arg(name, serial);
        break;
    }
    return what + QStringLiteral(" - KYR7 Setup Program Version " KYR7_VERSION);
}
