#pragma once

#include "aRefreshable.h"
#include "uiWin.h"

#include <functional>

class Painter;
class QMouseEvent;
class mScale;
class mSkin;

// A pane of the timeline window that shows one component's timeline: the ruler, the corner panes
// and the control strip. It reaches the timeline and the skin through that component.
class pPane : public uiWin, public aRefreshable
{
    Q_OBJECT
public:
    pPane(QWidget* parent, tlCmp* cmp);
    ~pPane() override;

    tlCmp* myTlCmp;

protected:
    using aRefreshable::refresh;
    using uiWin::refresh;
    // The component's timeline and skin; null without them.
    mTimeline* timeline() const;
    mSkin* skin() const;
    // The component's timeline's time scale; null without one.
    mScale* timeScale() const;
    // Paints the pane through the skin: a painter over the whole pane, the skin's drawing context
    // open on the timeline. Nothing without a timeline or a skin.
    void paintWithSkin(std::function<void(Painter&, mSkin&)> const& draw);
    // Takes part in the refresh pass with the other views.
    void scheduleWithViews();
    // A click on the pane: the timeline object becomes the whole selection, and the pane
    // repaints.
    void selectTimeline(QMouseEvent* event);
};
