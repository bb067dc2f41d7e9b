#pragma once

#include "ObCmd.h"

// "New Document": the application saves and closes the current document and makes a new one.
class cmdFileNew : public ObCmd
{
public:
    bool cmdAction() override;

    static cmdFileNew ourInstance;
};
