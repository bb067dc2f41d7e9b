#pragma once

#include "ObQtPanel.h"
#include "aRefreshable.h"
#include "tlObj.h"

class Painter;
class QEvent;
class pHead;

// The timeline pane: the one widget that shows a document's timeline. The component's registry
// builds it for a window that asks for a "Timeline" panel and numbers it; the pane leaves the
// registry when it is closed for good.
class pTimeline : public ObQtPanel, public tlObj, public aRefreshable
{
    Q_OBJECT

public:
    pTimeline(QWidget* parent, tlCmp* cmp, tlUi* ui);
    ~pTimeline() override;

    // The header strip's background, the skin's panel colour over the painter's area.
    virtual void paintHeader(Painter& painter, pHead* head);
    // Not Qt's close handler: the pane's own, called by whoever closes it. A pane that deletes
    // itself on close leaves its registry.
    virtual void closeEvent(QEvent* event);

    tlCmp* myTlCmp;
    tlUi* myTlUi;

protected:
    using ObQtPanel::closeEvent;
};
