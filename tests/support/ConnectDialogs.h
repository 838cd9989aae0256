#pragma once

#include "DialogRunner.h"
#include "frmConnect.h"

#include <QDialog>
#include <QPushButton>
#include <QStringList>

#include <functional>

// A dialog runner for the main window's tests: the connection dialog is
// closed with the buttons queued (Cancel when none is), noting whether it
// offered to open a file instead; any other dialog goes to onDialog, or is
// closed unseen. Records the class of every dialog run.
class ConnectDialogs : public DialogRunner
{
public:
    int run(QDialog &dialog) override
    {
        opened << QString::fromLatin1(dialog.metaObject()->className());
        if (auto *connect = qobject_cast<frmConnect *>(&dialog)) {
            fileOffered = !connect->findChild<QPushButton *>("B_OpenFile")->isHidden();
            const QString name = connectButtons.isEmpty() ? QStringLiteral("B_Cancel") : connectButtons.takeFirst();
            if (auto *button = connect->findChild<QPushButton *>(name))
                button->click();
            return connect->result();
        }
        if (onDialog)
            onDialog(dialog);
        return dialog.result();
    }

    QStringList connectButtons;
    bool fileOffered = false;
    std::function<void(QDialog &)> onDialog;
    QStringList opened;
};
