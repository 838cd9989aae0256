#pragma once

class QDialog;

// Runs modal dialogs opened from handlers. The program uses exec(); tests
// install a runner that drives the dialog and closes it, so that a nested
// dialog never hangs a headless run.
class DialogRunner
{
public:
    virtual ~DialogRunner() = default;
    // Returns the dialog's result code (QDialog::Accepted or Rejected).
    virtual int run(QDialog &dialog) = 0;
};

class ExecDialogRunner : public DialogRunner
{
public:
    int run(QDialog &dialog) override;
};
