#pragma once

#include "ObCmd.h"

// "Close": the current document is closed through the application, which asks whether to save
// and releases it. Fails when the document stays open.
class cmdFileClose : public ObCmd
{
public:
    bool isActiveTest() const override;
    bool cmdAction() override;

    static cmdFileClose ourInstance;
};
