#pragma once

#include "tlCmd.h"

// "Remove Empty Rows": the layers to act on (the selected ones, else all) drop their empty rows.
class cmdRemoveEmptyRows : public tlCmd
{
public:
    // Active when there are layers to act on.
    bool isActiveTest() const override;
    // False, changing nothing, without layers to act on.
    bool cmdAction() override;

    static cmdRemoveEmptyRows ourInstance;
};
