#include "DialogRunner.h"

#include <QDialog>

int ExecDialogRunner::run(QDialog &dialog)
{
    return dialog.exec();
}
