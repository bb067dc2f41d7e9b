#include "ObQtWin.h"

ObQtWin::ObQtWin(QWidget* parent) : ObQtPanel(parent)
{
}

ObQtWin::~ObQtWin() = default;

ObDoc* ObQtWin::getDoc() const
{
    return nullptr;
}
