#pragma once

#include "uiBar.h"

// The colour picker's opacity bar: the held colour from opaque at the top to transparent at the
// bottom, over a checkerboard that shows through.
class uiOpacity : public uiBar
{
    Q_OBJECT

public:
    uiOpacity(QWidget* parent, bool horizontal, float h, float s, float v, float a);
    ~uiOpacity() override;

    void setColor(float h, float s, float v, float a);
    void setOpacity(float a);
    float barValue() const override;

public Q_SLOTS:
    void setColorSlot(float h, float s, float v, float a);

Q_SIGNALS:
    void opacityChanged(uiOpacity* onPanel, float a);

protected:
    void pointerValue(float value) override;
    void paintBar(QPainter& painter, int w, int h) override;
    char const* traceName() const override;

private:
    float myA;
};
