#pragma once

#include "uiControl.h"

class QMouseEvent;

// A two-state control with a label (the hide toggle "H" of the layer headers). A left press
// flips it and signals the new state; setValue shows a state without signalling. A double click
// is two presses: it flips twice.
class uiToggle : public uiControl
{
    Q_OBJECT

public:
    uiToggle(QWidget* parent, char const* label, float hue, float sat, float val, int fontSize);
    ~uiToggle() override;

    virtual void setValue(bool value);
    virtual bool getValue() const;
    // Flips the state, repaints and signals.
    virtual void activate();

Q_SIGNALS:
    void toggleChanged(uiToggle* toggle, bool newVal);

protected:
    bool isActiveLook() const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool myValue = false;
};
