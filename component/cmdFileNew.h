#pragma once

#include "ObCmd.h"

// "New Document": the application saves and closes the current document and makes a new one.
// Succeeds only when the new one came in; a cancelled save question ends it cancelled.
class cmdFileNew : public ObCmd
{
public:
    bool cmdAction() override;

    static cmdFileNew ourInstance;
};
