#pragma once

#include "pCorner.h"

class QPaintEvent;

// The bottom-left corner, beside the control strip: the skin's footer background with a faint
// light line along its top edge.
class pBotLeft : public pCorner
{
    Q_OBJECT
public:
    pBotLeft(QWidget* parent, tlCmp* cmp);
    ~pBotLeft() override;

    void doLayout() override;
    void refresh(aRefreshContext* ctx) override;

protected:
    using uiWin::refresh;
    void paintEvent(QPaintEvent* event) override;
};
