#pragma once

#include "Obh.h"
#include "aRefreshable.h"
#include "wEdit.h"

// The pop-up editor of one event. Never scheduled: it keeps the default refresh.
class wEditEvent : public wEdit, public aRefreshable
{
    Q_OBJECT

public:
    // The event and its rectangle in global screen coordinates.
    wEditEvent(Obh ev, int x, int y, int w, int h, bool);
    ~wEditEvent() override;

    // The heading.
    virtual void setTitle(char const* title);
    Obh getHdl() const { return myHdl; }

    Obh myHdl;
};
