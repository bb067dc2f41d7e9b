#pragma once

#include "tlCmd.h"

// "New Row": one more row at the bottom of every selected layer.
class cmdNewRowInSelectedLayers : public tlCmd
{
public:
    // Active when a layer is selected.
    bool isActiveTest() const override;
    bool cmdAction() override;

    static cmdNewRowInSelectedLayers ourInstance;

private:
    // The selected handles that still name layers.
    std::vector<mLayer*> selectedLayers() const;
};
