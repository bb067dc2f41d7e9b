#pragma once

#include "ObCmd.h"

// Command base of the Qt binding; the timeline commands build on it.
class ObQtCmd : public ObCmd
{
public:
    ObQtCmd();
    ~ObQtCmd() override;
};
