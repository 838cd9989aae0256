#pragma once

#include <QString>
#include <QStringList>

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
    // A box with buttons of these captions, the first one the leftmost;
    // returns the position of the one chosen. The default button is the one
    // Return presses, and Escape or closing the box chooses it too, so it
    // should be the choice that changes nothing.
    virtual int choose(const QString &title, const QString &text, const QStringList &buttons, int defaultButton) = 0;
};
