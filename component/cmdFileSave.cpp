#include "cmdFileSave.h"

#include "ObApp.h"
#include "ObDoc.h"
#include "tlCmd.h"

cmdFileSave cmdFileSave::ourInstance;

cmdFileSave::cmdFileSave() : cmdFileSave(false)
{
}

cmdFileSave::cmdFileSave(bool saveAs) : mySaveAs(saveAs)
{
}

bool cmdFileSave::isActiveTest() const
{
    return tlCmd::currentDoc() != nullptr;
}

bool cmdFileSave::cmdAction()
{
    if (!tlCmd::currentDoc())
        return false;
    return ObApp::ourApp->saveDoc(nullptr, mySaveAs);
}
