#pragma once

#include "Obh.h"

class Painter;
class QGraphicsScene;
class uiGi;

// The mix-in through which a model object (a layer, an event) owns the one scene item that
// draws it. The item is made on demand by the object's giNew, bound to the object's handle, and
// comes back to the object for its box, its drawing and its presses. The object deletes its item
// (giClear, its destructor); an item deleted by someone else (a parent item, the scene) tells the
// object through giDeleted, so the pointer never dangles.
class aGraphic
{
public:
    aGraphic() = default;
    virtual ~aGraphic();
    aGraphic(aGraphic const&) = delete;
    aGraphic& operator=(aGraphic const&) = delete;

    // Makes the item when there is none (else rebinds it to hdl) and adds it to the scene.
    virtual void giAddToScene(QGraphicsScene& scene, Obh& hdl) const;
    // Takes the item out of its scene and keeps it.
    virtual void giRemoveFromScene() const;
    // The object's own item bound to hdl; there must be none yet. The model classes make theirs.
    virtual uiGi* giNew(Obh& hdl) const;
    virtual uiGi* giGet() const;
    virtual uiGi* giEnsure(Obh& hdl) const;
    // Called by the item's destructor only: forgets the item.
    virtual void giDeleted() const;
    virtual void giSync();
    // Before the box changes: the item's scene must learn of it.
    virtual void giBboxWillChange();
    // The item becomes a child of the parent's item (which is in a scene); it must be in none.
    virtual void giSetParent(aGraphic* parent);
    virtual void giSetParent(uiGi* parent);
    virtual void giSetX(double x);
    virtual void giSetY(double y);
    virtual double giGetX() const;
    virtual double giGetY() const;
    virtual void giGetPos(double& x, double& y) const;
    // x is a whole pixel.
    virtual void giSetPos(double x, double y);
    virtual void giSetPos(double x, double y, double z);
    // The box in the item's own coordinates: offset of its top-left corner from the item's
    // position, width and height. A box without positive width and height is not drawn.
    virtual void giGetBbox(double& x, double& y, double& w, double& h) const = 0;
    // Draws into a painter whose area is (0, 0, w, h) of the box.
    virtual void giPaint(Painter& painter) const = 0;
    // True when the object takes the press (the item accepts it, else it goes on below).
    virtual bool giMousePressEvent(int button);

    void giClear();
    void giClear() const;
    void giHide();
    void giShow();
    bool giInSceneTest() const;
    // Asks the scene to repaint the item's box.
    void giDamage() const;

    mutable uiGi* myGi = nullptr;

private:
    // The item to move; without one an empty-handled item cannot be made, so nothing moves.
    uiGi* movable(char const* what) const;
};
