#pragma once

#include "ObQtMitemData.h"

#include <QKeySequence>
#include <QObject>

class ObCmd;
class ObQtMenu;
class QAction;

// One menu entry: a Qt action bound to a command or to a plain function (never both). A chosen
// entry goes to the application object, which runs the command or calls the function. Its
// shortcut works while the window that holds the menu bar is the active one, or in every window
// of the application once made the application's.
class ObQtMitem : public QObject, public ObQtMitemData
{
    Q_OBJECT

public:
    ObQtMitem(ObQtMenu* menu, char const* text, ObCmd* cmd, char const* shortcut, bool checkable);
    ObQtMitem(ObQtMenu* menu, char const* text, void (*func)(bool), char const* shortcut, bool checkable);
    ObQtMitem(ObQtMenu* menu, char const* text, void (*func)(bool), QKeySequence shortcut, bool checkable);
    ObQtMitem(ObQtMenu* menu, char const* text, ObCmd* cmd, QKeySequence shortcut, bool checkable);
    ~ObQtMitem() override;

    virtual ObCmd* getCmd() const;
    virtual void (*getFunc() const)(bool);
    // Sets the check mark and the enabled state from the command; run before the menu opens.
    virtual void prepShow(ObQtMenu* menu);
    virtual bool isActiveTest(ObQtMenu* menu);
    virtual bool isCheckedTest(ObQtMenu* menu) const;
    virtual QAction* getQAction();
    // Puts the entry in the application menu where the platform has one.
    virtual void setAppMenuMitem();
    // Makes the shortcut work in every window of the application that no modal dialog blocks
    // (Ctrl+S typed in a pop-up editor saves), not only in the one that holds the bar.
    void setAppShortcut();

    QAction* myQAction;
    ObCmd* myCmd;
    void (*myFunc)(bool);

public Q_SLOTS:
    virtual void toggled(bool checked = false);
    virtual void triggered(bool checked = false);

private:
    void build(ObQtMenu* menu, char const* text, QKeySequence const& shortcut, bool checkable);
};
