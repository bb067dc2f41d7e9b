#pragma once

#include "Obh.h"

#include <QGraphicsItem>

class aGraphic;
class pTimeline;

// The scene item every item of the timeline's scene derives from. It draws nothing of its own
// and has no geometry of its own: it keeps the handle of the model object it stands for, and
// that object (its aGraphic side) answers the box, draws the contents and decides on presses.
// The object owns the item; the item tells the object when it is deleted.
//
// Subclasses keep this class's type(), so qgraphicsitem_cast<uiGi*> finds every program item.
class uiGi : public QGraphicsItem
{
public:
    enum
    {
        Type = UserType + 1
    };

    // The handle must name an aGraphic.
    explicit uiGi(Obh& hdl);
    ~uiGi() override;

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    void paint(QPainter* painter, QStyleOptionGraphicsItem const* option, QWidget* widget) override;

    virtual double x() const;
    virtual double y() const;
    virtual double width() const;
    virtual double height() const;

    Obh hdl() const { return myHdl; }
    void setHdl(Obh& hdl);
    // The model object, or null for an item whose handle is not valid.
    aGraphic* mgr() const;
    void geometryWillChange() { prepareGeometryChange(); }
    // The object is going away on its own: the item will not call it back.
    void forgetHdl() { myHdl = Obh(); }
    // The timeline pane whose graphics view shows the item, or null: an item in no scene, or in
    // a scene shown in no view or in several.
    pTimeline* shownIn() const;
    // Makes the object the whole selection and opens its editor (of a layer, else of an event)
    // beside the selection on the screen; asked again for the object whose editor is open,
    // closes that editor instead. Nothing for an item that no timeline pane shows.
    void openEditor(bool layer);

    // Items draw straight onto the view's painter; on, each draws on a transparent picture of its
    // own that is then laid on the view, as a reference for the direct drawing's pixels.
    static bool ourPaintThroughPixmap;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

private:
    Obh myHdl;
};
