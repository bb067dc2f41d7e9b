#pragma once

#include "ctHandfulEventsQt.h"
#include "ctHndQt.h"
#include "mEdb.h"
#include "model/ModelFixture.h"
#include "tlScene.h"
#include "tlUi.h"
#include "uiGi.h"

#include <QDrag>
#include <QGraphicsSceneDragDropEvent>
#include <QMimeData>
#include <QWidget>

#include <cmath>
#include <memory>
#include <tuple>
#include <vector>

// A laid-out timeline with two layers of three rows each, in a view 1,000 x 600 pixels showing
// [0, 1000] seconds and the model rows [0, 20] (30 pixels a row):
//
//     model y  0 .. 1   space above (half -3, half -1)
//              1 .. 4   layer a, stack rows 0..2         x at row 2, 100 s
//              4 .. 6   gap (1 | 2 | -2 | -1)
//              6 .. 9   layer b, stack rows 3..5         y at row 0, 300 s; z at row 2, 500 s;
//                                                        w at row 1, 700 s (never dragged)
//              9 .. 9.67 space below (1 | 3), then the fallback 3
//
// x, y and z are selected; drags grab y at (10, 10) of its item.
struct DragDoc : ModelFixture
{
    tlScene& scene = *doc.cmp.getUi()->getScene();
    QWidget source;
    Obh a = tl.newLayer(), b = tl.newLayer();
    Obh x, y, z, w;
    // A drop handed on by a layer item: the handful takes no notice of which.
    giLayer* const anyLayerItem = nullptr;

    // Where an event is: its layer's index, its row and its start time.
    using Spot = std::tuple<int, int, double>;

    DragDoc()
    {
        source.resize(1000, 600);
        layer(a)->setPaddingTop(1);
        layer(a)->addRows(2);
        layer(b)->setPaddingTop(2);
        layer(b)->addRows(2);
        x = at(100, 50, 2, a);
        y = at(300, 60, 0, b);
        z = at(500, 40, 2, b);
        w = at(700, 40, 1, b);
        sync();
        for (Obh h : {x, y, z})
            doc.selection.addToSelection(h);
    }
    ~DragDoc() override { tlObj::ourHand.clearHandful(); }

    void sync()
    {
        tl.restackLayers();
        tl.getEdb()->syncEventsToView(&tl, &scene);
    }
    double sceneY(double modelY) const { return perp.localToParent(modelY); }

    std::unique_ptr<ctHandfulEventsQt> pick(Obh grabbed)
    {
        return ctHandfulEventsQt::pickUp(&source, ev(grabbed)->giGet(), QPointF(10, 10));
    }

    // A drag event at scene (sx, sy) carrying the mime data.
    static std::unique_ptr<QGraphicsSceneDragDropEvent>
    dragEvent(QEvent::Type type, double sx, double sy, QMimeData const* mime,
              Qt::DropAction proposed = Qt::MoveAction, Qt::KeyboardModifiers keys = {})
    {
        auto event = std::make_unique<QGraphicsSceneDragDropEvent>(type);
        event->setScenePos(QPointF(sx, sy));
        event->setMimeData(mime);
        event->setPossibleActions(Qt::CopyAction | Qt::MoveAction);
        event->setProposedAction(proposed);
        event->setModifiers(keys);
        return event;
    }

    // The layer a handle names, or null (also for an empty handle).
    static mLayer* layerIfAny(Obh h) { return tlObj::ourType_mLayer->ptrFromFile(h); }

    Spot spot(Obh h)
    {
        mEvent* e = ev(h);
        mLayer* l = layerIfAny(e->getLayerHdl());
        return {l ? l->getIndex() : -1, static_cast<int>(std::floor(e->getRowIndex())),
                e->getStartTime()};
    }
    std::vector<Spot> spots() { return {spot(x), spot(y), spot(z)}; }
    // Whether the event is filed in its layer and in the timeline's event set.
    bool inTimeline(Obh h)
    {
        mLayer* l = layerIfAny(ev(h)->getLayerHdl());
        return l && l->getEvents().count(h) && tl.getEdb()->isRegistered(h);
    }
};
