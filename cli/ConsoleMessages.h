#pragma once

#include "Messages.h"

#include <QString>

#include <functional>

// The message boxes of a conversation that has no screen: a box becomes a
// line of text for its target. Nobody can answer a question here, so every
// question is answered No, and every choice with its default button.
class ConsoleMessages : public Messages
{
public:
    explicit ConsoleMessages(std::function<void(const QString &)> show) : show(std::move(show)) {}

    void inform(const QString &title, const QString &text) override { show(title + QStringLiteral(": ") + text); }
    bool ask(const QString &title, const QString &text) override
    {
        show(title + QStringLiteral(": ") + text + QStringLiteral(" (answered No)"));
        return false;
    }
    // The default button is the choice that changes nothing.
    int choose(const QString &title, const QString &text, const QStringList &buttons, int defaultButton) override
    {
        show(title + QStringLiteral(": ") + text + QStringLiteral(" (answered %1)").arg(buttons.value(defaultButton)));
        return defaultButton;
    }

    // A box's text on one line: its CR LF line breaks become spaces.
    static QString OneLine(QString text)
    {
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        return text;
    }

private:
    std::function<void(const QString &)> show;
};
