#include "ObQtMbar.h"

#include "ObQtMenu.h"

ObQtMbar::ObQtMbar() : QMenuBar(nullptr)
{
}

ObQtMbar::~ObQtMbar() = default;

ObQtMenu* ObQtMbar::addMenu(char const* title)
{
    ObQtMenu* menu = new ObQtMenu(title, this);
    QMenuBar::addMenu(menu);
    return menu;
}
