#include "pTimeline.h"

#include "aAssert.h"
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
