#include "cmdFileNew.h"

#include "ObApp.h"
#include "mTrace.h"

cmdFileNew cmdFileNew::ourInstance;

bool cmdFileNew::cmdAction()
{
    M_TRACE(" \n \n \n================== NEW FILE!\n \n \n");
    if (!ObApp::ourApp)
        return false;
    ObApp::ourApp->newDoc();
    return true;
}
