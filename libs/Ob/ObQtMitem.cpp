#include "ObQtMitem.h"

#include "ObCmd.h"
#include "ObQtApp.h"
#include "ObQtMenu.h"
#include "ObTrace.h"

#include <QAction>

static QKeySequence keysFromText(char const* shortcut)
{
    return shortcut ? QKeySequence(QString::fromUtf8(shortcut)) : QKeySequence();
}

ObQtMitem::ObQtMitem(ObQtMenu* menu, char const* text, ObCmd* cmd, char const* shortcut,
                     bool checkable)
    : QObject(menu), myQAction(nullptr), myCmd(cmd), myFunc(nullptr)
{
    build(menu, text, keysFromText(shortcut), checkable);
}

ObQtMitem::ObQtMitem(ObQtMenu* menu, char const* text, void (*func)(bool), char const* shortcut,
                     bool checkable)
    : QObject(menu), myQAction(nullptr), myCmd(nullptr), myFunc(func)
{
    build(menu, text, keysFromText(shortcut), checkable);
}

ObQtMitem::ObQtMitem(ObQtMenu* menu, char const* text, void (*func)(bool), QKeySequence shortcut,
                     bool checkable)
    : QObject(menu), myQAction(nullptr), myCmd(nullptr), myFunc(func)
{
    build(menu, text, shortcut, checkable);
}

ObQtMitem::ObQtMitem(ObQtMenu* menu, char const* text, ObCmd* cmd, QKeySequence shortcut,
                     bool checkable)
    : QObject(menu), myQAction(nullptr), myCmd(cmd), myFunc(nullptr)
{
    build(menu, text, shortcut, checkable);
}

ObQtMitem::~ObQtMitem() = default;

void ObQtMitem::build(ObQtMenu* menu, char const* text, QKeySequence const& shortcut,
                      bool checkable)
{
    myQAction = new QAction(QString::fromUtf8(text ? text : ""), menu);
    myQAction->setShortcut(shortcut);
    // Only "triggered(bool)" is connected, so setting the check mark before a menu opens never
    // runs the entry.
    connect(myQAction, &QAction::triggered, this,
            checkable ? &ObQtMitem::toggled : &ObQtMitem::triggered);
    menu->addAction(myQAction);
    if (!myCmd && !myFunc)
        myQAction->setEnabled(false);
    myQAction->setCheckable(checkable);
    // Keys act in the window that carries the bar, the document's: typed into a pop-up editor or
    // any other window they are that window's (Ctrl+A there selects a field's text).
    myQAction->setShortcutContext(Qt::WindowShortcut);
}

void ObQtMitem::setAppShortcut()
{
    myQAction->setShortcutContext(Qt::ApplicationShortcut);
}

ObCmd* ObQtMitem::getCmd() const
{
    return myCmd;
}

void (*ObQtMitem::getFunc() const)(bool)
{
    return myFunc;
}

void ObQtMitem::prepShow(ObQtMenu* menu)
{
    if (myQAction->isCheckable())
        myQAction->setChecked(isCheckedTest(menu));
    myQAction->setEnabled(isActiveTest(menu));
}

bool ObQtMitem::isActiveTest(ObQtMenu*)
{
    if (!myCmd && !myFunc) {
        OB_TRACE("No cmd or func for mitem\n");
        return false;
    }
    if (!myCmd)
        return true;
    return myCmd->isActiveTest();
}

bool ObQtMitem::isCheckedTest(ObQtMenu*) const
{
    return myCmd ? myCmd->isCheckedTest() : false;
}

QAction* ObQtMitem::getQAction()
{
    return myQAction;
}

void ObQtMitem::setAppMenuMitem()
{
    myQAction->setMenuRole(QAction::ApplicationSpecificRole);
}

void ObQtMitem::toggled(bool)
{
    if (ObQtApp* app = dynamic_cast<ObQtApp*>(ObApp::ourApp))
        app->mitemToggledCb(this);
}

void ObQtMitem::triggered(bool)
{
    if (ObQtApp* app = dynamic_cast<ObQtApp*>(ObApp::ourApp))
        app->mitemTriggeredCb(this);
}
