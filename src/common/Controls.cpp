#include "Controls.h"

#include "WheelGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>

namespace {

// The typing limit a box was made with, kept while a longer stored value
// widens maxLength.
const char *const kTypingLimit = "typingLimit";

template <typename T> T *named(T *control, const QString &name, const QString &accessible)
{
    control->setObjectName(name);
    control->setAccessibleName(accessible);
    return control;
}

} // namespace

QPushButton *MakeButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = named(new QPushButton(caption, parent), name, caption);
    button->setAutoDefault(false);
    return button;
}

QLabel *MakeLabel(const QString &name, const QString &caption, QWidget *parent, QWidget *buddy)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

QComboBox *MakeList(const QString &name, const QString &label, const QStringList &items, QWidget *parent)
{
    auto *list = named(new QComboBox(parent), name, label);
    list->setEditable(false);
    list->addItems(items);
    KeepFromWheel(list);
    return list;
}

void KeepFromWheel(QComboBox *list)
{
    WheelGuard::install(list);
}

QLineEdit *MakeEdit(const QString &name, const QString &label, QWidget *parent, int maxLength)
{
    auto *box = named(new QLineEdit(parent), name, label);
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    box->setProperty(kTypingLimit, box->maxLength());
    return box;
}

QLineEdit *MakeValue(const QString &name, const QString &caption, QWidget *parent)
{
    QLineEdit *box = MakeEdit(name, caption, parent);
    box->setReadOnly(true);
    // Shown on the window's own colour, so it does not look like a box to type in.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
    return box;
}

QCheckBox *MakeCheck(const QString &name, const QString &caption, QWidget *parent)
{
    return named(new QCheckBox(caption, parent), name, caption);
}

QRadioButton *MakeOption(const QString &name, const QString &caption, QWidget *parent)
{
    return named(new QRadioButton(caption, parent), name, caption);
}

QGroupBox *MakeFrame(const QString &name, const QString &title, QWidget *parent)
{
    return named(new QGroupBox(title, parent), name, title);
}

namespace {
QBoxLayout *place(QBoxLayout *layout, std::initializer_list<QWidget *> controls)
{
    for (QWidget *control : controls)
        layout->addWidget(control);
    return layout;
}
} // namespace

QBoxLayout *PlaceInRow(QWidget *frame, std::initializer_list<QWidget *> controls)
{
    return place(new QHBoxLayout(frame), controls);
}

QBoxLayout *PlaceInColumn(QWidget *frame, std::initializer_list<QWidget *> controls)
{
    return place(new QVBoxLayout(frame), controls);
}

QTabBar *MakeTabs(const QString &name, const QString &label, const QStringList &tabs, QWidget *parent)
{
    auto *bar = named(new QTabBar(parent), name, label);
    for (const QString &tab : tabs)
        bar->addTab(tab);
    bar->setExpanding(false);
    return bar;
}

QScrollBar *MakeScrollBar(const QString &name, const QString &label, QWidget *parent)
{
    auto *bar = named(new QScrollBar(Qt::Vertical, parent), name, label);
    // Reachable from the keyboard: the arrow keys step it.
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

QHBoxLayout *MakeButtonRow(std::initializer_list<QPushButton *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    bool first = true;
    for (QPushButton *button : buttons) {
        button->setDefault(first);
        first = false;
        row->addWidget(button);
    }
    return row;
}

void OnChosen(QAbstractButton *option, QObject *receiver, std::function<void()> chosen)
{
    QObject::connect(option, &QAbstractButton::toggled, receiver, [chosen = std::move(chosen)](bool on) {
        if (on)
            chosen();
    });
}

void OnCheckChanged(QCheckBox *box, QObject *receiver, std::function<void(bool checked)> changed)
{
    // stateChanged, not toggled: a box that shows neither state (a stored
    // value none of its states stands for) becomes checked without toggling.
    QObject::connect(box, &QCheckBox::stateChanged, receiver,
                     [changed = std::move(changed)](int state) { changed(state == Qt::Checked); });
}

void SetCaption(QWidget *control, const QString &caption, const QString &accessibleName)
{
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(caption);
    else if (auto *frame = qobject_cast<QGroupBox *>(control))
        frame->setTitle(caption);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(caption);
    control->setAccessibleName(accessibleName.isEmpty() ? caption : accessibleName);
}

void ShowStored(QLineEdit *box, const QString &text)
{
    bool known = false;
    int limit = box->property(kTypingLimit).toInt(&known);
    if (!known) {
        limit = box->maxLength();
        box->setProperty(kTypingLimit, limit);
    }
    box->setMaxLength(qMax(limit, int(text.size())));
    box->setText(text);
}
