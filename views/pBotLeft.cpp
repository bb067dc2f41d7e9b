#include "pBotLeft.h"

#include "mSkin.h"

pBotLeft::pBotLeft(QWidget* parent, tlCmp* cmp) : pCorner(parent, cmp)
{
    show();
    scheduleWithViews();
}

pBotLeft::~pBotLeft() = default;

void pBotLeft::doLayout()
{
}

void pBotLeft::refresh(aRefreshContext*)
{
}

void pBotLeft::paintEvent(QPaintEvent*)
{
    paintCorner(&mSkin::drawFooterBg, 0, 60);
}
