#include "aGraphic.h"

#include "aAssert.h"
#include "mTrace.h"
#include "uiGi.h"

#include <QGraphicsScene>
#include <cmath>

aGraphic::~aGraphic()
{
    // The model class cleared its item while it was whole; one left now is deleted without
    // asking the half-destroyed object anything.
    if (uiGi* gi = myGi) {
        myGi = nullptr;
        gi->forgetHdl();
        delete gi;
    }
}

uiGi* aGraphic::giNew(Obh& hdl) const
{
    A_ASSERT(!myGi);
    myGi = new uiGi(hdl);
    return myGi;
}

uiGi* aGraphic::giGet() const
{
    return myGi;
}

uiGi* aGraphic::giEnsure(Obh& hdl) const
{
    if (!myGi)
        myGi = giNew(hdl);
    return myGi;
}

void aGraphic::giAddToScene(QGraphicsScene& scene, Obh& hdl) const
{
    if (!myGi)
        myGi = giNew(hdl);
    else
        myGi->setHdl(hdl);
    scene.addItem(myGi); // an item of another scene moves
    A_ASSERT(myGi->scene());
}

void aGraphic::giRemoveFromScene() const
{
    if (myGi && myGi->scene())
        myGi->scene()->removeItem(myGi);
}

void aGraphic::giDeleted() const
{
    myGi = nullptr;
}

void aGraphic::giSync()
{
}

void aGraphic::giBboxWillChange()
{
    if (myGi && myGi->scene())
        myGi->geometryWillChange();
}

void aGraphic::giSetParent(aGraphic* parent)
{
    A_ASSERT(parent);
    giSetParent(parent->giGet());
}

void aGraphic::giSetParent(uiGi* parent)
{
    A_ASSERT(parent);
    A_ASSERT(parent->scene());
    A_ASSERT(myGi);
    A_ASSERT(!myGi->scene());
    myGi->setParentItem(parent);
}

uiGi* aGraphic::movable(char const* what) const
{
    if (!myGi)
        M_TRACE("aGraphic::%s without an item: nothing moves\n", what);
    return myGi;
}

void aGraphic::giSetX(double x)
{
    if (uiGi* gi = movable("giSetX"))
        gi->setPos(x, gi->y());
}

void aGraphic::giSetY(double y)
{
    if (uiGi* gi = movable("giSetY"))
        gi->setPos(gi->x(), y);
}

double aGraphic::giGetX() const
{
    A_ASSERT(myGi);
    return myGi->x();
}

double aGraphic::giGetY() const
{
    A_ASSERT(myGi);
    return myGi->y();
}

void aGraphic::giGetPos(double& x, double& y) const
{
    A_ASSERT(myGi);
    x = myGi->x();
    y = myGi->y();
}

void aGraphic::giSetPos(double x, double y)
{
    // Items stand on whole pixels: a fraction would blur every edge.
    if (uiGi* gi = movable("giSetPos"))
        gi->setPos(std::floor(x), y);
}

void aGraphic::giSetPos(double x, double y, double z)
{
    if (uiGi* gi = movable("giSetPos")) {
        gi->setPos(std::floor(x), y);
        gi->setZValue(z);
    }
}

bool aGraphic::giMousePressEvent(int)
{
    return false;
}

void aGraphic::giClear()
{
    M_TRACE("aGraphic::giClear\n");
    if (!myGi) {
        M_TRACE("No gi\n");
        return;
    }
    A_ASSERT(myGi->mgr() == this);
    if (myGi->scene()) {
        M_TRACE("Remove gi from scene\n");
        myGi->scene()->removeItem(myGi);
    } else {
        M_TRACE("Gi not in scene\n");
    }
    A_ASSERT(myGi->mgr() == this);
    M_TRACE("Delete Gi\n");
    uiGi* gi = myGi;
    myGi = nullptr;
    delete gi;
}

void aGraphic::giClear() const
{
    if (!myGi)
        return;
    giRemoveFromScene();
    delete myGi; // its destructor calls giDeleted
    A_ASSERT(myGi == nullptr);
}

void aGraphic::giHide()
{
    if (myGi && myGi->scene())
        myGi->setVisible(false);
}

void aGraphic::giShow()
{
    if (myGi && myGi->scene())
        myGi->setVisible(true);
}

bool aGraphic::giInSceneTest() const
{
    return myGi && myGi->scene();
}

void aGraphic::giDamage() const
{
    if (!giInSceneTest())
        return;
    double x = 0, y = 0, w = 0, h = 0;
    giGetBbox(x, y, w, h);
    QRectF const area = myGi->mapRectToScene(QRectF(x, y, w, h));
    QRectF const whole(std::trunc(area.x()), std::trunc(area.y()), std::trunc(area.width()),
                       std::trunc(area.height()));
    myGi->scene()->invalidate(whole, QGraphicsScene::ItemLayer);
}
