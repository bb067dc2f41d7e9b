#pragma once

#include "pPane.h"

class Painter;
class QMouseEvent;

// What the two corner panes of the left column share: a click on either makes the timeline
// object the whole selection, and each paints a background of the skin with a faint light line
// along one edge.
class pCorner : public pPane
{
    Q_OBJECT
public:
    pCorner(QWidget* parent, tlCmp* cmp);
    ~pCorner() override;

protected:
    using Background = void (mSkin::*)(Painter&) const;
    // The skin's background over the whole pane, then the line at y in white at alpha. Nothing
    // without a timeline.
    void paintCorner(Background background, float lineY, int alpha);
    void mousePressEvent(QMouseEvent* event) override;
};
