#pragma once

#include <QObject>

#include <functional>

class QLineEdit;

// Applies a key filter (a character code in, the code to let through out, 0
// to swallow) to the keys typed into a text box. Keys that carry no text
// (arrows, Delete, Tab, shortcuts) pass untouched; Backspace is offered to
// the filter as code 8.
class KeyFilter : public QObject
{
    Q_OBJECT
public:
    using Filter = std::function<int(int)>;
    static void install(QLineEdit *box, Filter filter);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KeyFilter(QObject *parent, Filter filter) : QObject(parent), filter(std::move(filter)) {}
    Filter filter;
};
