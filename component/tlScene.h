#pragma once

#include "tlObj.h"

#include <QGraphicsScene>

// The graphics scene of one timeline component: it holds the layer items and, under them, the
// event items that the timeline pane's graphics view shows. Made by the component's registry,
// with no index (the model keeps its own index by time and row).
class tlScene : public QGraphicsScene, public tlObj
{
    Q_OBJECT

public:
    tlScene();
    ~tlScene() override;
};
