#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

// One line per target on a terminal, redrawn in place at most ten times a
// second; when they do not fit, the busy ones are shown first. Draws nothing
// when standard error is not a terminal.
class ProgressDisplay : public QObject
{
    Q_OBJECT
public:
    struct Line
    {
        QString text;
        bool busy = false; // a target being worked on, rather than waiting or done
    };
    // lines() gives the current text of every line.
    explicit ProgressDisplay(std::function<QList<Line>()> lines, QObject *parent = nullptr);

    static bool Wanted();
    // Asks for a redraw soon.
    void update();
    // Takes the lines away, leaving the terminal as it was before.
    void clear();

private:
    void draw();

    std::function<QList<Line>()> lines;
    QTimer timer;
    int drawn = 0; // lines on the screen now
    bool enabled = false;
};
