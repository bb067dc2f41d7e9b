#include "wEdit.h"

wEdit::wEdit(int, int, int, int, int, int) : QWidget(nullptr)
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint);
}

wEdit::~wEdit() = default;

void wEdit::saveToModel()
{
}

void wEdit::colorChangedCb(float, float, float, float)
{
}

void wEdit::doLayout()
{
}
