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
    };

    void inform(const QString &title, const QString &text) override { boxes.append({false, title, text}); }

    bool ask(const QString &title, const QString &text) override
    {
        boxes.append({true, title, text});
        if (answers.isEmpty()) {
            unexpected = true;
            QTest::qFail(qPrintable(QStringLiteral("unexpected question: %1 / %2").arg(title, text)), __FILE__,
                         __LINE__);
            return false;
        }
        return answers.takeFirst();
    }

    void queueAnswer(bool yes) { answers.append(yes); }
    int count() const { return boxes.size(); }
    const Box &last() const { return boxes.last(); }
    void clear()
    {
        boxes.clear();
        answers.clear();
        unexpected = false;
    }

    QList<Box> boxes;
    QList<bool> answers;
    bool unexpected = false;
};
