#include "cmdFileClose.h"

#include "ObApp.h"
#include "mTrace.h"
#include "tlCmd.h"

cmdFileClose cmdFileClose::ourInstance;

bool cmdFileClose::isActiveTest() const
{
    return tlCmd::currentDoc() != nullptr;
}

bool cmdFileClose::cmdAction()
{
    ObDoc* doc = tlCmd::currentDoc();
    if (!doc)
        return false;
    // The application destroys the document it closed, once; the command keeps nothing of it.
    if (!ObApp::ourApp->saveAndCloseDoc(doc)) {
        M_TRACE("Doc NOT closed!\n");
        return false;
    }
    return true;
}
