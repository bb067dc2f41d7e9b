#include "uiStamp.h"

#include "uiFonts.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

// Left of the text.
constexpr int ourIndent = 5;
constexpr int ourSmallestPoints = 6;

} // namespace

uiStamp::uiStamp(QWidget* parent, int snapping, int minRes, int maxRes, bool flag, int fontSize)
    : uiWin(parent), myFlag(flag), myMinRes(minRes), myMaxRes(maxRes), mySnapping(snapping),
      myFont(uiFonts::font("Helvetica", fontSize, 50))
{
    myTs.stamp();
    rebuild();
}

uiStamp::~uiStamp() = default;

void uiStamp::setResolution(int minRes, int maxRes)
{
    myMinRes = minRes;
    myMaxRes = maxRes;
    rebuild();
}

void uiStamp::setSnapping(int snapping)
{
    mySnapping = snapping;
    rebuild();
}

void uiStamp::setTs(aTs& ts)
{
    myTs = ts;
    rebuild();
}

aTs uiStamp::getTs() const
{
    return myTs;
}

char const* uiStamp::getText() const
{
    return myText.c() ? myText.c() : "";
}

void uiStamp::doLayout()
{
    QString const text = QString::fromUtf8(getText());
    int const room = width() - ourIndent;
    myDrawnFont = myFont;
    while (myDrawnFont.pixelSize() > ourSmallestPoints &&
           QFontMetrics(myDrawnFont).horizontalAdvance(text) > room)
        myDrawnFont.setPixelSize(myDrawnFont.pixelSize() - 1);
    update();
}

void uiStamp::rebuild()
{
    // Beyond the calendar's years there are no fields to show: dashes, as the ruler has.
    myText =
        myTs.hasLocalFields() ? myTs.getSnappedStr(mySnapping, myMaxRes, myMinRes) : rtl::str("--");
    doLayout();
}

void uiStamp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QColor(200, 200, 200));
    painter.setBrush(Qt::NoBrush);
    painter.setFont(myDrawnFont);
    painter.drawText(QRect(ourIndent, 0, width() - ourIndent, height()), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8(getText()));
}
