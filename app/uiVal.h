#pragma once

#include "uiBar.h"

// The colour picker's value (brightness) bar: the held hue and saturation from full value at the
// top to black at the bottom, always opaque.
class uiVal : public uiBar
{
    Q_OBJECT

public:
    uiVal(QWidget* parent, bool horizontal, float h, float s, float v);
    ~uiVal() override;

    void setColor(float h, float s, float v);
    void setValue(float v);
    float barValue() const override;

public Q_SLOTS:
    void setColorSlot(float h, float s, float v);

Q_SIGNALS:
    void valueChanged(uiVal* onPanel, float v);

protected:
    void pointerValue(float value) override;
    void paintBar(QPainter& painter, int w, int h) override;
    char const* traceName() const override;
};
