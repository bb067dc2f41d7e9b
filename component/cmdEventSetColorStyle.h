#pragma once

#include "tlCmd.h"

// "Color - Individually" (style 0) and "Color - By Layer" (style 1): the selected events are
// drawn in their own colours or in their layer's.
class cmdEventSetColorStyle : public tlCmd
{
public:
    explicit cmdEventSetColorStyle(int style);
    bool cmdAction() override;

    static cmdEventSetColorStyle ourInstance0;
    static cmdEventSetColorStyle ourInstance1;

private:
    int myStyle;
};
