#pragma once

#include "pPane.h"

class ObCmd;
class QEvent;
class QPaintEvent;
class QPushButton;

// The control strip under the graphics view: thirteen small buttons that pan and zoom the time
// axis, zoom to the selection, jump the zoom to one calendar unit and lock the view to now, over
// the skin's readout of the visible range. The timeline pane makes one in its time column; the
// component's registry can also make one as a panel of its own ("Timeline Ctrls") and number it.
//
// Three rows, 144 pixels wide, centred: the seven unit buttons, then "<" "*" ">", then "-" "||"
// "+". The buttons take no keyboard focus, so that keys after a click still reach the window.
class pCtrls : public pPane
{
    Q_OBJECT

public:
    // Without a registry the component's is used.
    pCtrls(QWidget* parent, tlCmp* cmp, tlUi* ui);
    ~pCtrls() override;

    // Looks the time scale up; changes nothing.
    virtual void sync();
    // Repaints the readout when the time scale zoomed or moved.
    void refresh(aRefreshContext* ctx) override;
    // Not Qt's close handler: the strip's own. A strip that deletes itself on close leaves its
    // registry.
    virtual void closeEvent(QEvent* event);

    void doLayout() override;

    // The buttons in their order of creation.
    enum Button
    {
        Now,
        Forward,
        Reverse,
        Up,
        Down,
        ZoomSel,
        Secs,
        Mins,
        Hours,
        Days,
        Weeks,
        Months,
        Years,
        ButtonCount
    };
    QPushButton* button(Button b) const { return myButtons[b]; }

    int myBtnSize = 18;
    int myWideW = (7 * 18 + 2 * 3) / 3;
    int myGap = 3;
    tlUi* myTlUi;
    QPushButton* myButtons[ButtonCount] = {};

public Q_SLOTS:
    void btnNowCb();
    void btnFwdCb();
    void btnRevCb();
    void btnUpCb();
    void btnDownCb();
    void btnZoomSelCb();
    void btnSecsCb();
    void btnMinsCb();
    void btnHoursCb();
    void btnDaysCb();
    void btnWeeksCb();
    void btnMonthsCb();
    void btnYearsCb();

protected:
    using uiWin::closeEvent;
    using uiWin::refresh;
    void paintEvent(QPaintEvent* event) override;

private:
    // Pans by 40 % of the visible window.
    void nudge(bool forward);
    void zoomStep(bool in);
    // Runs a command as a menu item runs it (through the application, which logs the result).
    void run(ObCmd* cmd);
};
