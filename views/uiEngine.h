#pragma once

#include "ObQtUi.h"

// The questions the application and the framework ask the user: where to save, what to open, and
// whether to save before closing. It is the framework's own question interface (ObQtApp asks
// through ObQtApp::ourUi), so one installed there answers the framework's questions too.
class uiEngine : public ObQtUi
{
public:
    ~uiEngine() override;
};
