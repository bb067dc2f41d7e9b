#pragma once

#include "uiWin.h"

#include <QPixmap>

class QMouseEvent;
class QPaintEvent;

// The colour picker's hue and saturation field: a colour wheel with a marker on the held colour.
// Hue 0 lies right of the centre and grows counter-clockwise; saturation grows from the centre
// (0) to the rim (1). Pressing or dragging picks the colour at the marker, which sits 3 pixels up
// and left of the pointer's hot spot; outside the wheel the rim is picked.
//
// The wheel is drawn once for each size and value into a pixmap; painting only puts it on screen.
class uiHs : public uiWin
{
    Q_OBJECT

public:
    // border: pixels between the widget's edge and the wheel; (r, g, b): the colour around the
    // wheel; h, s, v: the colour held (the wheel is drawn at value v).
    uiHs(QWidget* parent, int border, int r, int g, int b, float h, float s, float v);
    ~uiHs() override;

    void setColor(float h, float s, float v);
    void setValue(float v);

    float getHue() const { return myH; }
    float getSat() const { return myS; }
    // The marker's centre, in widget coordinates.
    QPoint getMarker() const { return QPoint(myX, myY); }

    void doLayout() override;

public Q_SLOTS:
    void setColorSlot(float h, float s, float v);

Q_SIGNALS:
    void hsChanged(uiHs* onPanel, float h, float s);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The wheel's half width and height, in pixels.
    float halfSide() const;
    void rebuildPicture();
    void placeMarker();
    void pick(QMouseEvent* event);

    int myR, myG, myB;
    int myBorder;
    int myX = 0;
    int myY = 0;
    float myH, myS, myV;
    QPixmap myPix;
    // The value the picture was drawn at; the picture is drawn again only when it changes.
    float myPixV = -1.0f;
};
