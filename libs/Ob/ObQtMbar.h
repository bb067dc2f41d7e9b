#pragma once

#include "ObObj.h"

#include <QMenuBar>

class ObQtMenu;

// The application's menu bar, made without a parent widget. Where the platform has no global
// menu bar, the document window takes it in (ObQtWinDoc).
class ObQtMbar : public QMenuBar, public ObObj
{
public:
    ObQtMbar();
    ~ObQtMbar() override;

    // A new menu with the title, appended to the bar; the bar is its Qt parent.
    ObQtMenu* addMenu(char const* title);
};
