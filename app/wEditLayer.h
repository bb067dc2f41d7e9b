#pragma once

#include "Obh.h"
#include "aRefreshable.h"
#include "wEdit.h"

// The pop-up editor of one layer. Never scheduled: it keeps the default refresh.
class wEditLayer : public wEdit, public aRefreshable
{
    Q_OBJECT

public:
    // The layer and its rectangle in global screen coordinates.
    wEditLayer(Obh layer, int x, int y, int w, int h, bool);
    ~wEditLayer() override;

    // The heading.
    virtual void setTitle(char const* title);
    Obh getHdl() const { return myHdl; }

    Obh myHdl;
};
