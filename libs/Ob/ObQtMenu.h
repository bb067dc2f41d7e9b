#pragma once

#include "ObQtMenuData.h"

#include <QKeySequence>
#include <QMenu>
#include <list>

class ObCmd;
class ObQtMbar;
class ObQtMitem;

// One drop-down menu. Just before it opens, every entry asks its command whether it is enabled
// and checked, so the menu shows the state of the moment.
class ObQtMenu : public QMenu, public ObQtMenuData
{
    Q_OBJECT

public:
    ObQtMenu(char const* title, ObQtMbar* bar);
    ~ObQtMenu() override;

    // Entries bound to a command or to a function; a null shortcut text gives no shortcut.
    virtual ObQtMitem* addMitem(char const* text, ObCmd* cmd, char const* shortcut, bool checkable);
    virtual ObQtMitem* addMitem(char const* text, ObCmd* cmd, QKeySequence shortcut, bool checkable);
    virtual ObQtMitem* addFuncMitem(char const* text, void (*func)(bool), char const* shortcut, bool checkable);
    virtual ObQtMitem* addFuncMitem(char const* text, void (*func)(bool), QKeySequence shortcut, bool checkable);

    // The entries added through this menu, in order; the menu is their Qt parent.
    std::list<ObQtMitem*> myMitems;

public Q_SLOTS:
    virtual void prepShow();
};
