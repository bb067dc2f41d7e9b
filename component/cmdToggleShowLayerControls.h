#pragma once

#include "ObCmd.h"
#include "tlObj.h"

// "Show Controls" (checkable): shows or hides the layers' controls; checked while shown.
class cmdToggleShowLayerControls : public ObCmd, public tlObj
{
public:
    bool isActiveTest() const override;
    bool isCheckedTest() const override;
    bool cmdAction() override;

    static cmdToggleShowLayerControls ourInstance;
};
