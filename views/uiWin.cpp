#include "uiWin.h"

uiWin::uiWin(QWidget* parent) : aWidget(parent)
{
}

uiWin::~uiWin() = default;

void uiWin::doLayout()
{
}

void uiWin::refresh(unsigned long)
{
}

void uiWin::resizeEvent(QResizeEvent*)
{
    doLayout();
}
