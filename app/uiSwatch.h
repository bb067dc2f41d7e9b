#pragma once

#include "uiWin.h"

class QMouseEvent;
class QPaintEvent;

// A swatch of one colour with its opacity, over a checkerboard that shows through. Releasing the
// mouse button on it (wherever the pointer has gone by then) signals its colour.
class uiSwatch : public uiWin
{
    Q_OBJECT

public:
    uiSwatch(QWidget* parent, float h, float s, float v, float a);
    ~uiSwatch() override;

    void setColor(float h, float s, float v, float a);
    void getColor(float& h, float& s, float& v, float& a) const;

    void doLayout() override;

Q_SIGNALS:
    void swatchClicked(uiSwatch* onPanel, float h, float s, float v, float a);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    float myH, myS, myV, myA;
};
