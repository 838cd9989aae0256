// The workbench's costs an operator waits for: opening a full configuration
// file until the main window shows it, building the review of a
// configuration whose every setting changed (the list, then the dialog), and
// working out what sending such a file to a unit does, with its message.
// Prints the median of several runs; the target is under 50 ms each.
#include "AppServices.h"
#include "ApplyPlan.h"
#include "ChangeReview.h"
#include "Clock.h"
#include "ConfigDocument.h"
#include "ConfigFile.h"
#include "DialogRunner.h"
#include "Messages.h"
#include "SendSummary.h"
#include "SetupChecks.h"
#include "StepTimer.h"
#include "frmKYR7Set.h"
#include "frmReview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 21;

class NoMessages : public Messages
{
public:
    void inform(const QString &title, const QString &text) override
    {
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(title), qPrintable(text));
    }
    bool ask(const QString &, const QString &) override { return false; }
    int choose(const QString &, const QString &, const QStringList &, int defaultButton) override
    {
        return defaultButton;
    }
};

class NoDialogs : public DialogRunner
{
public:
    int run(QDialog &dialog) override { return dialog.result(); }
};

double medianMs(const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A unit's configuration with a module of every kind on both programs.
clsKYR fullModel()
{
    clsKYR kyr = ConfigDocument::Factory();
    kyr.setSPGM(0, PgmRow::RequestedVideoMode, "8");
    kyr.setSPGM(1, PgmRow::RequestedVideoMode, "3");
    for (int lan = StreamSlot::LAN1; lan <= StreamSlot::LAN8; ++lan)
        kyr.setSSTR(lan, StrRow::PortAddr, QString::number(2000 + lan - StreamSlot::LAN1));
    const auto module = [&kyr](int stream, const char *type, const char *program, const char *lines) {
        kyr.setSSTR(stream, StrRow::StreamType, QLatin1String(type));
        kyr.setSSTR(stream, StrRow::Program, QLatin1String(program));
        kyr.setSSTR(stream, StrRow::InsertLinesF1, QLatin1String(lines));
        kyr.setSSTR(stream, StrRow::InsertLinesF2, QLatin1String(lines));
    };
    module(StreamSlot::LAN1, "0x0010", "1", "0x00000200");
    module(StreamSlot::LAN2, "0x0001", "1", "0x00000800");
    module(StreamSlot::LAN3, "0x0001", "2", "0x00000800");
    module(StreamSlot::FILE1, "0x0002", "1", "0x00000400");
    module(StreamSlot::INBRIDGE1, "0x0004", "2", "0x00100000");
    module(StreamSlot::OUTBRIDGE1, "0x0004", "1", "0x00000100");
    return kyr;
}

// Every setting given another value of its kind.
clsKYR everySettingChanged(const clsKYR &before)
{
    clsKYR after = before;
    for (Section s : {Section::Kyr, Section::Pgm, Section::Cap, Section::Str}) {
        const auto &defs = clsKYR::Definitions(s);
        for (int slot = 0; slot < clsKYR::Slots(s); ++slot) {
            for (int row = 0; row < int(defs.size()); ++row) {
                const KyrValue value = before.value(s, slot, row);
                if (defs[size_t(row)].Kind == KindText)
                    after.setText(s, slot, row, before.text(s, slot, row) + QStringLiteral("x"));
                else if (!(s == Section::Str && row == StrRow::StreamType))
                    after.setValue(s, slot, row, KyrValue(qint32(value.toInt() ^ 1)));
            }
        }
    }
    return after;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const clsKYR full = fullModel();
    const QString path = dir.filePath("full.kyr7");
    QString error;
    if (!ConfigFile::Write(path, full, error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    QSettings store(dir.filePath("KYR7Setup.ini"), QSettings::IniFormat);
    NoMessages messages;
    NoDialogs dialogs;
    SystemClock clock;
    QtStepTimer timer; // never started: a file needs no conversation
    AppServices services{&store, &messages, &dialogs, &clock, &timer, dir.path(), 0, {}, {}, {}};

    const double open = medianMs([&] {
        frmKYR7Set window(services);
        if (!window.Start(path) || window.monitorShowing())
            std::abort();
        QCoreApplication::processEvents();
    });

    const clsKYR after = everySettingChanged(full);
    int changes = 0;
    const double review = medianMs([&] {
        const ChangeReview built = ChangeReview::Build(full, after);
        changes = built.count();
    });
    const double dialog = medianMs([&] {
        frmReview shown(ChangeReview::Build(full, after), SetupChecks::Run(after), QStringLiteral("the file"));
        shown.show();
        QCoreApplication::processEvents();
    });
    const double checks = medianMs([&] { SetupChecks::Run(after); });
    // Sent to a unit: the file's settings over the unit's, then the one message.
    const Configuration file = Configuration::FromFile(ConfigFile::Parse(ConfigFile::Text(after)));
    const double send = medianMs([&] {
        const ApplyPlan plan = ApplyPlan::Make(file, full, false);
        const QString text =
            SendSummary::Text(QStringLiteral("full.kyr7"), QStringLiteral("the KYR7"),
                              ChangeReview::Build(full, plan.merged).count(), plan, SetupChecks::Run(plan.merged));
        if (text.isEmpty())
            std::abort();
    });

    std::printf("median of %d runs (target under 50 ms each)\n", kRuns);
    std::printf("open a full configuration file and show it: %8.2f ms\n", open);
    std::printf("review of %d changed settings, the list:     %8.2f ms\n", changes, review);
    std::printf("review of %d changed settings, the dialog:   %8.2f ms\n", changes, dialog);
    std::printf("checks of that configuration:               %8.2f ms\n", checks);
    std::printf("that file sent to a unit, plan and message: %8.2f ms\n", send);
    return 0;
}
