#pragma once

#include "pCorner.h"

class QPaintEvent;
class uiButton;
class uiToggle;

// The top-left corner, beside the ruler: the skin's header background and, along its bottom edge
// in the columns of the layer headers' controls, three controls for all layers: "H" switches
// layer hiding, "-" collapses the layers (fits their rows, drops the empty ones), "+" adds a
// layer. The controls follow the timeline's show-layer-controls flag only.
class pTopLeft : public pCorner
{
    Q_OBJECT

public:
    pTopLeft(QWidget* parent, tlCmp* cmp);
    ~pTopLeft() override;

    // Shows the controls by the timeline's show-layer-controls flag, and "H" on while its layer
    // hiding is.
    void syncLayerControls();
    void doLayout() override;
    void refresh(aRefreshContext* ctx) override;

    uiButton* myCollapseBtn = nullptr;
    uiButton* myNewLayerBtn = nullptr;
    uiToggle* myHideToggle = nullptr;

public Q_SLOTS:
    virtual void btnCollapseCb(uiButton* button);
    virtual void btnNewLayerCb(uiButton* button);
    virtual void hideToggleCb(uiToggle* toggle, bool value);

protected:
    using uiWin::refresh;
    void paintEvent(QPaintEvent* event) override;
};
