#include "MappingDrawing.h"

#include "MappingBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {
// Rows of the grid: heading, group labels and boxes of the outputs, the room
// for the lines, then the input boxes, their group labels and heading.
enum Row { OutputHeading, OutputLabels, OutputBoxes, Lines, InputBoxes, InputLabels, InputHeading };

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}
} // namespace

MappingDrawing::MappingDrawing(MappingRules &rules, const QString &outputHeading, const QString &inputHeading,
                               QWidget *parent)
    : QWidget(parent), rules(rules)
{
    setObjectName(QStringLiteral("F_Drawing"));
    setAccessibleName(QStringLiteral("Connections"));
    setMouseTracking(true);
    auto *grid = new QGridLayout(this);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->addWidget(heading(outputHeading, this), OutputHeading, 0, 1, -1);
    // Boxes in the visual order, so that Tab goes along the top row first.
    addRow(rules.outputGroups(), true, OutputBoxes, OutputLabels);
    addRow(rules.inputGroups(), false, InputBoxes, InputLabels);
    grid->addWidget(heading(inputHeading, this), InputHeading, 0, 1, -1);
    grid->setRowMinimumHeight(Lines, 150);
    refresh();
}

void MappingDrawing::addRow(const QList<MappingRules::BoxGroup> &groups, bool output, int boxRow, int labelRow)
{
    auto *grid = static_cast<QGridLayout *>(layout());
    int column = 0;
    for (int g = 0; g < groups.size(); ++g) {
        const MappingRules::BoxGroup &group = groups[g];
        auto *label = new QLabel(group.label, this);
        label->setAlignment(Qt::AlignCenter);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        grid->addWidget(label, labelRow, column, 1, int(group.captions.size()));
        for (int i = 0; i < group.captions.size(); ++i) {
            const MapBox which{output, g, i};
            auto *box = new MappingBox(which, group.captions[i], this);
            box->setObjectName(rules.controlName(which));
            box->setAccessibleName(rules.spokenName(which));
            box->setToolTip(group.tooltips.value(i));
            box->setEnabled(rules.enabled(which));
            grid->addWidget(box, boxRow, column + i, Qt::AlignCenter);
            boxes.append(box);
            connect(box, &MappingBox::clicked, this, [this, which] {
                rules.click(which);
                if (rules.pending())
                    guideEnd = anchor(which);
                refresh();
            });
            connect(box, &MappingBox::doubleClicked, this, [this, which] {
                rules.doubleClick(which);
                refresh();
            });
            connect(box, &MappingBox::disconnectPressed, this, [this, which] {
                rules.doubleClick(which);
                refresh();
            });
            connect(box, &MappingBox::escapePressed, this, [this](bool &handled) {
                handled = rules.pending();
                clickBackground();
            });
            connect(box, &MappingBox::reached, this, [this, which] { snap(which); });
        }
        column += int(group.captions.size());
        grid->setColumnMinimumWidth(column, 16); // a gap between groups
        ++column;
    }
}

MappingBox *MappingDrawing::box(const MapBox &which) const
{
    for (MappingBox *b : boxes) {
        if (b->box() == which)
            return b;
    }
    return nullptr;
}

QPoint MappingDrawing::anchor(const MapBox &which) const
{
    const MappingBox *b = box(which);
    if (!b)
        return {};
    const QRect r = b->geometry();
    return which.output ? QPoint(r.center().x(), r.bottom() + 1) : QPoint(r.center().x(), r.top());
}

void MappingDrawing::snap(const MapBox &which)
{
    if (!rules.pending())
        return;
    guideEnd = anchor(which);
    update();
}

void MappingDrawing::clickBackground()
{
    rules.clickBackground();
    refresh();
}

QString MappingDrawing::description(const MapBox &which) const
{
    if (!rules.enabled(which))
        return QStringLiteral("No stream on this port");
    QStringList names;
    for (const MapBox &other : rules.connectedTo(which))
        names << rules.spokenName(other);
    QString text = names.isEmpty() ? QStringLiteral("Not connected")
                                   : (which.output ? QStringLiteral("Fed by ") : QStringLiteral("Connected to ")) +
                                         names.join(QStringLiteral(", "));
    if (rules.pending() && rules.pendingBox() == which)
        text = QStringLiteral("Connecting, choose the box on the other side. ") + text;
    return text;
}

void MappingDrawing::refresh()
{
    for (MappingBox *b : std::as_const(boxes)) {
        b->setPendingEnd(rules.pending() && rules.pendingBox() == b->box());
        const QString text = description(b->box());
        if (b->accessibleDescription() != text)
            b->setAccessibleDescription(text);
    }
    update();
}

void MappingDrawing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(Qt::blue), 2));
    for (const MapLink &link : rules.links())
        painter.drawLine(anchor(link.input), anchor(link.output));
    if (rules.pending()) {
        painter.setPen(QPen(QColor(0, 160, 0), 2));
        painter.drawLine(anchor(rules.pendingBox()), guideEnd);
    }
}

void MappingDrawing::mouseMoveEvent(QMouseEvent *event)
{
    // Moves over a box reach here too: the guide line snaps to the box.
    if (rules.pending()) {
        const QPoint at = event->position().toPoint();
        const auto *over = qobject_cast<const MappingBox *>(childAt(at));
        guideEnd = over ? anchor(over->box()) : at;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void MappingDrawing::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        clickBackground();
    event->accept();
}
