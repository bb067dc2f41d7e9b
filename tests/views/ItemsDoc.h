#pragma once

#include "ObClassTypeOf.h"
#include "ObSelection.h"
#include "ViewsDoc.h"
#include "ctHndQt.h"
#include "giEvent.h"
#include "giLayer.h"
#include "mEdb.h"
#include "mEvent.h"
#include "mLayer.h"
#include "tlScene.h"
#include "tlUi.h"

#include <QGraphicsSceneMouseEvent>

// Two spans of layer l over a view 1,000 pixels wide showing [0, 1000] seconds and the rows
// [0, 20] over 600 pixels (30 a row): a from 100 s for 50 s in row 0, b from 300 s for 100 s in
// row 1. The scene holds the layer's item and theirs; nothing is selected.
struct ItemsDoc : ViewsDoc
{
    tlScene& scene = *doc.cmp.getUi()->getScene();
    mScale& perp = *timeline.perpScale();
    Obh l = timeline.newLayer();
    Obh a = span(100, 50, 0);
    Obh b = span(300, 100, 1);

    ItemsDoc()
    {
        scale.setParentPos(0);
        scale.setParentSize(1000);
        scale.zoomToLocalRange(0.0, 1000.0, 1.0f);
        perp.setParentPos(0);
        perp.setParentSize(600);
        perp.zoomToLocalRange(0.0, 20.0, 1.0f);
        timeline.restackLayers();
        timeline.getEdb()->syncEventsToView(&timeline, &scene);
        doc.selection.clearSelection();
        doc.dirt.clearAllDirt();
    }
    ~ItemsDoc() override
    {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        tlObj::ourHand.clearHandful();
        tlObj::ourHand.clearMousePresses(nullptr);
    }

    Obh span(double start, double length, double row)
    {
        Obh h = tlObj::ourType_mEvent->make();
        ev(h)->setStartTime(start);
        ev(h)->setTimeLength(length);
        timeline.addEvent(h, start, row, l, true);
        return h;
    }
    static mEvent* ev(Obh h) { return tlObj::ourType_mEvent->ptr(h); }
    static giEvent* item(Obh h) { return dynamic_cast<giEvent*>(ev(h)->giGet()); }
    giLayer* band() { return dynamic_cast<giLayer*>(tlObj::ourType_mLayer->ptr(l)->giGet()); }
    bool selected(Obh h) { return doc.selection.isSelectedTest(h); }

    // A mouse event at a point of an item, straight to it; whether the item took it.
    bool mouse(QGraphicsItem* to, QEvent::Type type, QPointF at,
               Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers mods = Qt::NoModifier, QWidget* widget = nullptr)
    {
        QGraphicsSceneMouseEvent event(type);
        event.setPos(at);
        event.setScenePos(to->mapToScene(at));
        event.setButton(type == QEvent::GraphicsSceneMouseMove ? Qt::NoButton : button);
        event.setButtons(type == QEvent::GraphicsSceneMouseRelease ? Qt::NoButton : button);
        event.setModifiers(mods);
        event.setWidget(widget);
        scene.sendEvent(to, &event);
        return event.isAccepted();
    }
    bool press(Obh h, double x, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        return mouse(item(h), QEvent::GraphicsSceneMousePress, {x, 10}, button, mods);
    }
    bool remembersPress(Obh h)
    {
        double x = 0, y = 0;
        return tlObj::ourHand.getMousePressed(item(h), x, y);
    }
};
