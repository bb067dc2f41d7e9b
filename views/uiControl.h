#pragma once

#include "str.h"
#include "uiWin.h"

#include <QColor>
#include <QFont>

class QEnterEvent;
class QEvent;
class QPaintEvent;

// What the toggle and the button share: a label in the control's own colour in a box outlined in
// it. The active look (a toggle that is on, a button held down) fills the box in that colour and
// writes the label in black under a half-transparent white outline. Outline and fill are dimmed
// while the pointer is elsewhere, so the control brightens under it. Drawn with a QPainter.
class uiControl : public uiWin
{
    Q_OBJECT
public:
    // hue, sat and val from 0 to 1; the label in "Helvetica" at fontSize points.
    uiControl(QWidget* parent, char const* label, float hue, float sat, float val, int fontSize);
    ~uiControl() override;

    struct Look
    {
        QColor outline;
        QColor fill;
        QColor text;
    };
    static Look look(float hue, float sat, float val, bool active, bool hover);

    bool hovered() const { return myHover; }

protected:
    // The toggle is active while on, the button while held down.
    virtual bool isActiveLook() const = 0;

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    QFont myFont;
    float myHue;
    float mySat;
    float myVal;
    rtl::str myLabel;
    bool myHover = false;
};
