#pragma once

#include "ObCmd.h"

// "Open...": the application asks for a document and opens it.
class cmdFileOpen : public ObCmd
{
public:
    bool cmdAction() override;

    static cmdFileOpen ourInstance;
};
