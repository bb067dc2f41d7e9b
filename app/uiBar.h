#pragma once

#include "uiWin.h"

class QMouseEvent;
class QPaintEvent;
class QPainter;

// What the colour picker's value bar and opacity bar share: a bar that maps the pointer to a
// value from 0 to 1 (vertical: 1 at the top, 0 at the bottom; horizontal: 0 at the left, 1 at
// the right), a red marker at the value over the bar's own picture, and a light grey frame.
// Press, drag and release all set the value; beyond the ends it stops at 0 or 1.
class uiBar : public uiWin
{
    Q_OBJECT
public:
    uiBar(QWidget* parent, bool horizontal, float h, float s, float v);
    ~uiBar() override;

    // The value the marker shows.
    virtual float barValue() const = 0;
    // The marker's stored position, as the trace shows it.
    QPoint getMarker() const { return QPoint(myX, myY); }

    void doLayout() override;

protected:
    // Takes the value the pointer chose: stores it, places the marker, repaints and signals.
    virtual void pointerValue(float value) = 0;
    // The bar under the marker, on a w x h widget.
    virtual void paintBar(QPainter& painter, int w, int h) = 0;
    // The trace line's name of the bar.
    virtual char const* traceName() const = 0;

    void placeMarker();
    // A gradient's ends along the bar: from the value-1 end to the value-0 end.
    QPointF valueOneEnd() const;
    QPointF valueZeroEnd() const;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    bool myHorizontal;
    int myX = 0;
    int myY = 0;
    float myH, myS, myV;

private:
    void point(QMouseEvent* event);
};
