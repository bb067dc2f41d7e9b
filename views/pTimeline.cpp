#include "pTimeline.h"

#include "Painter.h"
#include "aAssert.h"
#include "mSkin.h"
#include "tlScene.h"
#include "tlUi.h"

pTimeline::pTimeline(QWidget* parent, tlCmp* cmp, tlUi* ui)
    : ObQtPanel(parent), myTlCmp(cmp), myTlUi(ui)
{
    A_ASSERT(ui);
    tlScene* gscene = ui->getScene();
    A_ASSERT(gscene);
    gscene->setItemIndexMethod(QGraphicsScene::NoIndex);
}

pTimeline::~pTimeline() = default;

void pTimeline::closeEvent(QEvent*)
{
    if (!testAttribute(Qt::WA_DeleteOnClose) || !myTlUi)
        return;
    myTlUi->forgetView(this);
    myTlUi = nullptr;
}

void pTimeline::paintHeader(Painter& painter, pHead*)
{
    mSkin* skin = getSkin();
    if (!skin)
        return;
    float x = 0, y = 0, w = 0, h = 0;
    painter.get2dGeometry(x, y, w, h);
    painter.setFillColorRgb8(skin->getPanelBgR(), skin->getPanelBgG(), skin->getPanelBgB());
    painter.draw2dFilledRect(x, y, w, h);
}
