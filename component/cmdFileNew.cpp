#include "cmdFileNew.h"

#include "ObApp.h"
#include "mTrace.h"

cmdFileNew cmdFileNew::ourInstance;

bool cmdFileNew::cmdAction()
{
    M_TRACE(" \n \n \n================== NEW FILE!\n \n \n");
    if (!ObApp::ourApp)
        return false;
    // Whatever stopped it short (a cancel, a failed save) was told to the application; it
    // answers with the current document when it kept it.
    ObDoc* doc = ObApp::ourApp->newDoc();
    return doc && ObApp::ourStop == ObApp::Stop::None;
}
