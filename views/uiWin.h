#pragma once

#include "aWidget.h"
#include "tlObj.h"

class QResizeEvent;

// The base of the timeline window's panes and custom controls and of the editors' colour
// widgets: a widget that reaches the document's engines, skin and timeline (through the current
// component, as it has none of its own) and lays its children out again on every resize.
class uiWin : public aWidget, public tlObj
{
    Q_OBJECT
public:
    explicit uiWin(QWidget* parent);
    ~uiWin() override;

    // Places the children; called once for every resize.
    virtual void doLayout();
    virtual void refresh(unsigned long);

protected:
    void resizeEvent(QResizeEvent* event) override;
};
