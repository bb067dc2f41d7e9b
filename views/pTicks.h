#pragma once

#include "pPane.h"

#include <QPoint>

class QMouseEvent;
class QPaintEvent;

// The ruler above the graphics view: the skin draws the time scale's header rows, the time
// selection and the lock-to-now marker in it, and a click or a drag on it selects a point or a
// span of time (and makes the timeline object the document's selection). Any mouse button
// selects. The timeline pane places it; it lays nothing out itself.
class pTicks : public pPane
{
    Q_OBJECT
public:
    pTicks(QWidget* parent, tlCmp* cmp);
    ~pTicks() override;

    // Repaints when the time scale, its selection or the layout changed.
    void refresh(aRefreshContext* ctx) override;
    void doLayout() override;

    // Where the last press was, in the ruler.
    QPoint myPressPos;

protected:
    using uiWin::refresh;
    void paintEvent(QPaintEvent* event) override;
    // A press on the pixel of a point selection (or one beside it) clears it; anywhere else it
    // selects the point under the pointer.
    void mousePressEvent(QMouseEvent* event) override;
    // From the drag distance on, the span between the press and the pointer; closer, the point
    // under the pointer.
    void mouseMoveEvent(QMouseEvent* event) override;
    // The selection of the last move stays.
    void mouseReleaseEvent(QMouseEvent* event) override;
};
