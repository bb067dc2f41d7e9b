#include "ObQtMenu.h"

#include "ObQtMbar.h"
#include "ObQtMitem.h"

ObQtMenu::ObQtMenu(char const* title, ObQtMbar* bar) : QMenu(QString::fromUtf8(title), bar)
{
    connect(this, &QMenu::aboutToShow, this, &ObQtMenu::prepShow);
}

ObQtMenu::~ObQtMenu() = default;

ObQtMitem* ObQtMenu::addMitem(char const* text, ObCmd* cmd, char const* shortcut, bool checkable)
{
    ObQtMitem* item = new ObQtMitem(this, text, cmd, shortcut, checkable);
    myMitems.push_back(item);
    return item;
}

ObQtMitem* ObQtMenu::addMitem(char const* text, ObCmd* cmd, QKeySequence shortcut, bool checkable)
{
    ObQtMitem* item = new ObQtMitem(this, text, cmd, shortcut, checkable);
    myMitems.push_back(item);
    return item;
}

ObQtMitem* ObQtMenu::addFuncMitem(char const* text, void (*func)(bool), char const* shortcut, bool checkable)
{
    ObQtMitem* item = new ObQtMitem(this, text, func, shortcut, checkable);
    myMitems.push_back(item);
    return item;
}

ObQtMitem* ObQtMenu::addFuncMitem(char const* text, void (*func)(bool), QKeySequence shortcut, bool checkable)
{
    ObQtMitem* item = new ObQtMitem(this, text, func, shortcut, checkable);
    myMitems.push_back(item);
    return item;
}

void ObQtMenu::prepShow()
{
    for (ObQtMitem* item : myMitems)
        item->prepShow(this);
}
