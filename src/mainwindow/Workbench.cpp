#include "Workbench.h"

#include "ChangeReview.h"
#include "ConfigFile.h"
#include "DialogRunner.h"
#include "FileChooser.h"
#include "Messages.h"
#include "SetupChecks.h"
#include "frmKYR7Set.h"
#include "frmReview.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

namespace {

const QString kCRLF = QStringLiteral("\r\n");
// Problems named in the refusal of a file; the rest are counted.
constexpr int kProblemsShown = 12;

QStringList fileFilters()
{
    return {QStringLiteral("KYR7 configurations (*%1 *.cfg)").arg(QLatin1String(ConfigFile::Extension)),
            QStringLiteral("All files (*)")};
}

QAction *action(QMenu *menu, const QString &name, const QString &text, const QKeySequence &shortcut = {})
{
    QAction *a = menu->addAction(text);
    a->setObjectName(name);
    a->setShortcut(shortcut);
    return a;
}

} // namespace

Workbench::Workbench(frmKYR7Set &mainWindow, const AppServices &appServices)
    : window(mainWindow), services(appServices), recent(appServices.settings), send(mainWindow, *this, appServices)
{
}

QMenuBar *Workbench::menuBar(QWidget *parent)
{
    if (bar)
        return bar;
    bar = new QMenuBar(parent);
    bar->setObjectName(QStringLiteral("MB_Menu"));
    bar->setAccessibleName(QStringLiteral("Menu"));
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("M_File"));
    A_Open = action(file, QStringLiteral("A_Open"), QStringLiteral("&Open..."), QKeySequence::Open);
    recentMenu = file->addMenu(QStringLiteral("Open Rec&ent"));
    recentMenu->setObjectName(QStringLiteral("M_Recent"));
    file->addSeparator();
    A_Save = action(file, QStringLiteral("A_Save"), QStringLiteral("&Save"), QKeySequence::Save);
    A_SaveCopyAs = action(file, QStringLiteral("A_SaveCopyAs"), QStringLiteral("Save Copy &As..."),
                          QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    file->addSeparator();
    A_Send = action(file, QStringLiteral("A_Send"), QStringLiteral("Send to &KYR7..."),
                    QKeySequence(QStringLiteral("Ctrl+T")));
    A_Review = action(file, QStringLiteral("A_Review"), QStringLiteral("&Review Changes..."),
                      QKeySequence(QStringLiteral("Ctrl+R")));
    file->addSeparator();
    A_Quit = action(file, QStringLiteral("A_Quit"), QStringLiteral("&Quit"), QKeySequence(QStringLiteral("Ctrl+Q")));

    connect(A_Open, &QAction::triggered, this, &Workbench::open);
    connect(A_Save, &QAction::triggered, this, &Workbench::save);
    connect(A_SaveCopyAs, &QAction::triggered, this, &Workbench::saveCopyAs);
    connect(A_Send, &QAction::triggered, this, &Workbench::sendToUnit);
    connect(A_Review, &QAction::triggered, this, &Workbench::review);
    connect(A_Quit, &QAction::triggered, &window, &QWidget::close);
    connect(recentMenu, &QMenu::aboutToShow, this, &Workbench::fillRecent);
    connect(file, &QMenu::aboutToShow, this, &Workbench::refresh);
    // Nothing to save or review until a configuration is shown.
    for (QAction *a : {A_Open, A_Save, A_SaveCopyAs, A_Send, A_Review})
        a->setEnabled(false);
    recentMenu->setEnabled(false);
    fillRecent();
    return bar;
}

// --- opening

bool Workbench::load(const QString &path)
{
    QStringList problems;
    if (doc.open(path, problems)) {
        recent.add(path);
        return true;
    }
    const qsizetype more = problems.size() - kProblemsShown;
    if (more > 0) {
        problems = problems.mid(0, kProblemsShown);
        problems << QStringLiteral("... and %1 more").arg(more);
    }
    services.messages->inform(
        QStringLiteral("Cannot open the configuration file"),
        QDir::toNativeSeparators(path) + QStringLiteral(" cannot be opened as a KYR7 configuration:") + kCRLF +
            problems.join(kCRLF) + kCRLF + kCRLF + QStringLiteral("Nothing of it has been opened."));
    return false;
}

bool Workbench::chooseAndLoad()
{
    if (!services.files)
        return false;
    const QString path =
        services.files->openFile(&window, QStringLiteral("Open a KYR7 configuration"), folder(), fileFilters());
    return !path.isEmpty() && load(path);
}

void Workbench::showFile()
{
    window.model() = doc.baseline();
    window.SetFileMode(true);
    window.ShowConfiguration();
}

void Workbench::retrieved()
{
    doc.fromUnit(window.model());
}

void Workbench::open()
{
    if (!fileOpen() || !mayClose())
        return;
    if (chooseAndLoad())
        showFile();
}

void Workbench::openRecent(const QString &path)
{
    if (!fileOpen() || !mayClose())
        return;
    if (!QFileInfo::exists(path))
        recent.remove(path);
    if (load(path))
        showFile();
}

void Workbench::fillRecent()
{
    if (!recentMenu)
        return;
    recentMenu->clear();
    const QStringList files = recent.files();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction *a = recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        a->setObjectName(QStringLiteral("A_Recent_%1").arg(i));
        connect(a, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    if (files.isEmpty())
        recentMenu->addAction(QStringLiteral("No recent files"))->setEnabled(false);
}

// --- saving

QString Workbench::source() const
{
    if (fileOpen())
        return doc.fileName();
    return QStringLiteral("the KYR7 over ") + LinkDescription(window.connection());
}

QString Workbench::folder() const
{
    if (fileOpen())
        return QFileInfo(doc.path()).absolutePath();
    const QStringList files = recent.files();
    return files.isEmpty() ? QDir::homePath() : QFileInfo(files.first()).absolutePath();
}

void Workbench::cannotWrite(const QString &error)
{
    services.messages->inform(QStringLiteral("Cannot save the configuration file"),
                              error + kCRLF + kCRLF + QStringLiteral("Nothing has been saved to it."));
}

bool Workbench::save()
{
    if (!fileOpen() || !configurationShown())
        return false;
    return saveFile(doc, window.model());
}

bool Workbench::saveFile(ConfigDocument &document, const clsKYR &model)
{
    QString error;
    if (!document.save(model, document.header(model, document.fileName(), QDateTime::currentDateTime()), error)) {
        cannotWrite(error);
        return false;
    }
    recent.add(document.path());
    refresh();
    return true;
}

bool Workbench::configurationShown() const
{
    return doc.source() != ConfigDocument::Source::None && !window.monitorShowing();
}

bool Workbench::saveCopyAs()
{
    if (!configurationShown() || !services.files)
        return false;
    const clsKYR &current = window.model();
    const QString name = fileOpen() ? QFileInfo(doc.path()).completeBaseName() + QStringLiteral(" copy")
                                    : QStringLiteral("KYR7 ") + current.sKYR(KyrRow::SerialNumber);
    const QString suggested = QDir(folder()).filePath(name + QLatin1String(ConfigFile::Extension));
    const QString path = ConfigDocument::WithExtension(services.files->saveFile(
        &window, QStringLiteral("Save a copy of the configuration"), suggested, fileFilters()));
    if (path.isEmpty())
        return false;
    QString error;
    if (!doc.write(path, current, doc.header(current, source(), QDateTime::currentDateTime()), error)) {
        cannotWrite(error);
        return false;
    }
    recent.add(path);
    return true;
}

// --- the review and the checks

void Workbench::sendToUnit()
{
    if (fileOpen() && configurationShown())
        send.start();
}

void Workbench::review()
{
    if (!configurationShown())
        return;
    QString against = fileOpen() ? QStringLiteral("what the file %1 holds").arg(doc.fileName())
                                 : QStringLiteral("the configuration retrieved from the KYR7");
    QStringList notSent;
    if (sending()) {
        against = send.against();
        notSent = send.notSent();
    }
    frmReview dialog(ChangeReview::Build(doc.baseline(), window.model()), SetupChecks::Run(window.model()), against,
                     notSent, &window);
    services.dialogs->run(dialog);
}

bool Workbench::checksAllowSave()
{
    const QStringList findings = SetupChecks::Run(window.model());
    if (findings.isEmpty())
        return true;
    QString list;
    for (const QString &finding : findings)
        list += QStringLiteral("- ") + finding + kCRLF;
    const QStringList buttons{QStringLiteral("Save Anyway"), QStringLiteral("Go Back")};
    return services.messages->choose(
               QStringLiteral("Warning, this set-up cannot work as it stands"),
               (findings.size() == 1 ? QStringLiteral("The checks found a problem:")
                                     : QStringLiteral("The checks found %1 problems:").arg(findings.size())) +
                   kCRLF + list + kCRLF + QStringLiteral("Save to the KYR7 anyway, or go back and change the set-up?"),
               buttons, 1) == 0;
}

bool Workbench::mayClose()
{
    if (sending())
        return keepEdits(send.file(), send.fileModel());
    if (!fileOpen())
        return true;
    return keepEdits(doc, window.model());
}

bool Workbench::keepEdits(ConfigDocument &document, const clsKYR &model)
{
    if (!document.modified(model))
        return true;
    const QStringList buttons{QStringLiteral("Save"), QStringLiteral("Close Without Saving"), QStringLiteral("Cancel")};
    const int chosen = services.messages->choose(
        QStringLiteral("Unsaved changes"),
        QStringLiteral("The configuration in %1 has changes that are not saved.").arg(document.fileName()) + kCRLF +
            QStringLiteral("Save them before it is closed?"),
        buttons, 2);
    return chosen == 1 || (chosen == 0 && saveFile(document, model));
}

// --- the window's state

QString Workbench::title() const
{
    return (doc.modified(window.model()) ? QStringLiteral("*") : QString()) + doc.fileName() +
           (doc.partial() ? QStringLiteral(" (some settings)") : QString()) +
           QStringLiteral(" - KYR7 Setup Program Version " KYR7_VERSION);
}

void Workbench::refresh()
{
    const bool shown = configurationShown();
    if (sending())
        window.setWindowTitle(send.title());
    else if (fileOpen())
        window.setWindowTitle(title());
    if (!bar)
        return;
    A_Open->setEnabled(fileOpen());
    recentMenu->setEnabled(fileOpen());
    A_Save->setEnabled(fileOpen() && shown);
    A_SaveCopyAs->setEnabled(shown);
    A_Send->setEnabled(fileOpen() && shown);
    A_Review->setEnabled(shown);
}
