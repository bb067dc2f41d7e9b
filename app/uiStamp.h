#pragma once

#include "aTs.h"
#include "str.h"
#include "uiWin.h"

#include <QFont>

class QPaintEvent;

// A read-only line of text showing one instant, from the coarsest to the finest calendar unit
// asked for (6 year, 5 month, 4 day, 3 hour, 2 minute, 1 second). The text is made again when
// the instant, the units or the snapping change; painting only draws it.
//
// A text wider than the display is drawn in a smaller size that fits (down to 6 points), so that
// the finest unit is never cut off.
class uiStamp : public uiWin
{
    Q_OBJECT

public:
    // Shows the time of its construction until it is given another. minRes must be at least 1.
    uiStamp(QWidget* parent, int snapping, int minRes, int maxRes, bool flag, int fontSize);
    ~uiStamp() override;

    virtual void setResolution(int minRes, int maxRes);
    virtual void setSnapping(int snapping);
    virtual void setTs(aTs& ts);
    aTs getTs() const;
    char const* getText() const;

    // The size the text is drawn in.
    QFont const& getDrawnFont() const { return myDrawnFont; }

    // Fits the text to the width.
    void doLayout() override;

protected:
    void paintEvent(QPaintEvent* event) override;

    // Kept as given; nothing reads it.
    bool myFlag;

private:
    void rebuild();

    aTs myTs;
    rtl::str myText;
    int myMinRes;
    int myMaxRes;
    int mySnapping;
    QFont myFont;
    QFont myDrawnFont;
};
