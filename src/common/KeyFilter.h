#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;

// Applies a key filter (a character code in, the code to let through out, 0
// to swallow) to every way text enters a text box: typed keys, pasting
// (keyboard, context menu, middle button), dropping and input methods.
// Keys that carry no text (arrows, Delete, Tab, shortcuts) pass untouched;
// Backspace is offered to the filter as code 8. Text the program itself puts
// into the box (a stored value) is shown as it is.
class KeyFilter : public QObject
{
    Q_OBJECT
public:
    using Filter = std::function<int(int)>;
    static void install(QLineEdit *box, Filter filter);

    // The text as typing it key by key would leave it: every character
    // offered to the filter, line breaks and other control characters left out.
    static QString Filtered(const Filter &filter, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KeyFilter(QLineEdit *box, Filter filter);
    bool filterKey(QEvent *event);
    // Puts text in at the cursor, filtered, as one edit.
    void insert(const QString &text);
    bool pasteSelection(QEvent *event);
    void showContextMenu(QEvent *event);
    bool drop(QEvent *event);
    // The last line of defence: whatever other way text came in, what the
    // operator added to the box is filtered.
    void onEdited(const QString &text);

    QLineEdit *box;
    Filter filter;
    QString shown;    // the box's text after the last change
    QString previous; // and before it
};
