#pragma once

#include "cmdFileSave.h"

// "Save As...": the current document is saved where the user says.
class cmdFileSaveAs : public cmdFileSave
{
public:
    cmdFileSaveAs();

    static cmdFileSaveAs ourInstance;
};
