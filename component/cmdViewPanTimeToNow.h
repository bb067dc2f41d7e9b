#pragma once

#include "ObCmd.h"
#include "tlObj.h"

// "Go To Now": the view centres on the current time, which becomes the time selection.
class cmdViewPanTimeToNow : public ObCmd, public tlObj
{
public:
    bool isActiveTest() const override;
    bool cmdAction() override;

    static cmdViewPanTimeToNow ourInstance;
};
