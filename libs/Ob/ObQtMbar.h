#pragma once

#include "ObObj.h"

#include <QMenuBar>

class ObQtMenu;
class QKeyEvent;

// The application's menu bar, made without a parent widget. Where the platform has no global
// menu bar, the document window takes it in (ObQtWinDoc).
//
// Entries take their enabled and checked states from their commands when their menu opens. A
// shortcut opens no menu, so before a key is matched against the shortcuts the entries bound to
// that key are brought up to date the same way: otherwise a shortcut would stay dead after its
// menu last showed it disabled, or run a command that is no longer active.
class ObQtMbar : public QMenuBar, public ObObj
{
    Q_OBJECT
public:
    ObQtMbar();
    ~ObQtMbar() override;

    // A new menu with the title, appended to the bar; the bar is its Qt parent.
    ObQtMenu* addMenu(char const* title);

    // Brings the entries bound to the key of a shortcut override up to date.
    void prepShortcut(QKeyEvent* key);
};
