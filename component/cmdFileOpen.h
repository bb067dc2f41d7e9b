#pragma once

#include "ObCmd.h"

// "Open...": the application asks for a document and opens it. Succeeds only when the document
// came in; a cancelled dialog or save question ends it cancelled.
class cmdFileOpen : public ObCmd
{
public:
    bool cmdAction() override;

    static cmdFileOpen ourInstance;
};
