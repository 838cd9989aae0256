#pragma once

#include "Messages.h"

#include <QList>
#include <QString>
#include <QtTest/QTest>

// Message boxes for tests: records every box and answers questions from a
// queue. A question nobody queued an answer for fails the test (and
// answers No).
class ScriptedMessages : public Messages
{
public:
    struct Box
    {
        bool question = false;
        QString title;
        QString text;
        QStringList buttons; // of a choice; the default one marked "*"
    };

    void inform(const QString &title, const QString &text) override { boxes.append({false, title, text, {}}); }

    bool ask(const QString &title, const QString &text) override
    {
        boxes.append({true, title, text, {}});
        if (answers.isEmpty()) {
            QTest::qFail(qPrintable(QStringLiteral("unexpected question: %1 / %2").arg(title, text)), __FILE__,
                         __LINE__);
            return false;
        }
        return answers.takeFirst();
    }

    // A choice is answered by a queued button caption; none queued fails the
    // test (and chooses the default button).
    int choose(const QString &title, const QString &text, const QStringList &buttons, int defaultButton) override
    {
        QStringList shown = buttons;
        if (defaultButton >= 0 && defaultButton < shown.size())
            shown[defaultButton] += u'*';
        boxes.append({true, title, text, shown});
        const int chosen = choices.isEmpty() ? -1 : int(buttons.indexOf(choices.takeFirst()));
        if (chosen < 0) {
            QTest::qFail(qPrintable(QStringLiteral("unexpected choice: %1 / %2").arg(title, text)), __FILE__, __LINE__);
            return defaultButton;
        }
        return chosen;
    }

    void queueAnswer(bool yes) { answers.append(yes); }
    void queueChoice(const QString &button) { choices.append(button); }
    int count() const { return boxes.size(); }
    const Box &last() const { return boxes.last(); }

    QList<Box> boxes;
    QList<bool> answers;
    QStringList choices;
};
