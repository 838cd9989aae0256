#pragma once

#include <QString>

// Message boxes. The program shows them with QMessageBox; tests install a
// scripted one. Line breaks in texts are CR LF.
class Messages
{
public:
    virtual ~Messages() = default;
    // A box with an OK button only.
    virtual void inform(const QString &title, const QString &text) = 0;
    // A box with Yes and No buttons; true for Yes.
    virtual bool ask(const QString &title, const QString &text) = 0;
};
