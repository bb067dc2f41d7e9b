#pragma once

#include "ObQtCmp.h"

// Attribute record of the timeline component. It adds no attribute of its own: the component
// carries the base's "name" and "version".
class tlCmpData : public ObQtCmp
{
public:
    tlCmpData();
    ~tlCmpData() override;
};
