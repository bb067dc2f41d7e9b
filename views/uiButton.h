#pragma once

#include "uiControl.h"

class QMouseEvent;

// A push button with a label (the headers' expand, contract, collapse and new-layer buttons). It
// acts when the left button goes down, not when it comes up, wherever the pointer is by then;
// it looks pressed until the button comes up. A double click presses it twice.
class uiButton : public uiControl
{
    Q_OBJECT

public:
    uiButton(QWidget* parent, char const* label, float hue, float sat, float val, int fontSize);
    ~uiButton() override;

    bool isPressed() const { return myPressed; }

Q_SIGNALS:
    void buttonPressed(uiButton* button);

protected:
    bool isActiveLook() const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool myPressed = false;
};
