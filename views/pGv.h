#pragma once

#include "aRefreshable.h"
#include "tlUi.h"

#include <QGraphicsView>

class QMouseEvent;
class QPainter;
class tlScene;

// The graphics view of the timeline pane: it shows the component's scene of layer and event
// items at one scene unit per pixel (the pane keeps the scene rectangle equal to the view, and
// zooming and panning move the scales, never the view). Behind the items the skin draws the
// timeline's background, in front of them the drag guide, the time selection and the
// lock-to-now line. In the refresh pass it brings the event items in line with the model and
// repaints what changed; a press in it ends selection by time. Its rubber band selects the items
// in it, and when let go the events of crowded rows drawn in it.
//
// Its own registry side (tlUi) keeps a scene of its own that is never shown: the view shows the
// scene the pane gives it, the component registry's.
class pGv : public QGraphicsView, public tlUi, public aRefreshable
{
    Q_OBJECT
public:
    pGv(QWidget* parent, tlCmp* cmp);
    ~pGv() override;

    void refresh(aRefreshContext* ctx) override;
    // Along the time axis and across it: the viewport, with a scroll bar that shows.
    virtual int getTimeScreenSpan() const;
    virtual int getPerpScreenSpan() const;

    // The items of the scene to the debug log: their number and the scene rectangle, then one
    // line per item with its depth, size, position (in its parent) and visibility.
    void dumpScene() const;
    // A drag event that another widget lying over the view took, at a point of the viewport:
    // handled as if the viewport had it. Whether it was accepted.
    bool takeDrag(QEvent* event);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // The crowded rows in view worked out first, on the processor's threads; then the scene.
    void paintEvent(QPaintEvent* event) override;
    void drawBackground(QPainter* painter, QRectF const& rect) override;
    void drawForeground(QPainter* painter, QRectF const& rect) override;

private:
    // The scene the view shows, when it is the timeline's.
    tlScene* shownScene() const;
    // Repaints the bands of the previous and the current time selection.
    void updateTimeSelection(mScale& ts, bool horiz);
    // The skin's background or foreground, in viewport pixels from (0, 0), over the exposed
    // rectangle. False when there is no skin or timeline to draw.
    bool drawLayer(QPainter* painter, QRectF const& rect, bool foreground);
    // Adds the events of crowded rows drawn in the rubber band (scene units) to the selection.
    void selectCrowdedEventsIn(QRectF const& band);

    // The rubber band while it is drawn, in scene units.
    QRectF myBand;
};
