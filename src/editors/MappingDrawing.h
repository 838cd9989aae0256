#pragma once

#include "MappingRules.h"

#include <QList>
#include <QWidget>

class MappingBox;

// The drawing of a mapping dialog: the output boxes in a row across the top,
// the input boxes in a row across the bottom, a blue line from the top centre
// of each input box to the bottom centre of the output it feeds, and a green
// guide line from the start of a pending connection to the pointer, or to the
// box under the pointer or with the focus. The rules decide everything; the
// drawing shows them and forwards clicks and keys.
class MappingDrawing : public QWidget
{
    Q_OBJECT
public:
    MappingDrawing(MappingRules &rules, const QString &outputHeading, const QString &inputHeading, QWidget *parent);

    MappingBox *box(const MapBox &which) const;
    // The connection point of a box: the top centre of an input box, the
    // bottom centre of an output box.
    QPoint anchor(const MapBox &which) const;
    // The guide line's loose end, while a connection is pending.
    QPoint looseEnd() const { return guideEnd; }
    // A click on the dialog around the drawing.
    void clickBackground();
    // Shows what the rules now hold: lines, pending end, descriptions.
    void refresh();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void addRow(const QList<MappingRules::BoxGroup> &groups, bool output, int boxRow, int labelRow);
    void snap(const MapBox &which);
    QString description(const MapBox &which) const;

    MappingRules &rules;
    QList<MappingBox *> boxes;
    QPoint guideEnd;
};
