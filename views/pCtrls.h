#pragma once

#include "aRefreshable.h"
#include "uiWin.h"

class QEvent;

// The control strip under the graphics view: the buttons that pan and zoom the time axis and lock
// the view to now. The timeline pane makes one in its time column; the component's registry can
// also make one as a panel of its own ("Timeline Ctrls") and number it.
class pCtrls : public uiWin, public aRefreshable
{
    Q_OBJECT

public:
    // Without a registry the component's is used.
    pCtrls(QWidget* parent, tlCmp* cmp, tlUi* ui);
    ~pCtrls() override;

    // Not Qt's close handler: the strip's own. A strip that deletes itself on close leaves its
    // registry.
    virtual void closeEvent(QEvent* event);

    tlCmp* myTlCmp;
    tlUi* myTlUi;

protected:
    using uiWin::closeEvent;
};
