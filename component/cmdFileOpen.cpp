#include "cmdFileOpen.h"

#include "ObApp.h"

cmdFileOpen cmdFileOpen::ourInstance;

bool cmdFileOpen::cmdAction()
{
    if (!ObApp::ourApp)
        return false;
    // A cancelled choice is no failure of the command.
    ObApp::ourApp->openDoc();
    return true;
}
