#pragma once

#include "tlObj.h"

#include <QWidget>

class QMouseEvent;
class QPaintEvent;
class QResizeEvent;
class pTimeline;

// The strip of the left column that holds one layer header per layer. The timeline pane paints
// its background and places the headers; the strip keeps them as wide as itself. A click on the
// strip (not on a header: a header takes its own clicks) raises DirtLayerHeaderBgClicked.
class pHead : public QWidget, public tlObj
{
    Q_OBJECT
public:
    pHead(QWidget* parent, pTimeline* pane);
    ~pHead() override;

    pTimeline* myPane;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
