#include "cmdFileOpen.h"

#include "ObApp.h"

cmdFileOpen cmdFileOpen::ourInstance;

bool cmdFileOpen::cmdAction()
{
    if (!ObApp::ourApp)
        return false;
    // Whatever stopped it short (a cancel, a failure) was told to the application; it answers
    // with the current document when it kept it.
    ObDoc* doc = ObApp::ourApp->openDoc();
    return doc && ObApp::ourStop == ObApp::Stop::None;
}
