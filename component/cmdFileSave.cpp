#include "cmdFileSave.h"

#include "ObApp.h"
#include "ObDoc.h"
#include "tlCmd.h"

cmdFileSave cmdFileSave::ourInstance;
cmdFileSaveAs cmdFileSaveAs::ourInstance;

cmdFileSave::cmdFileSave() : cmdFileSave(false)
{
}

cmdFileSave::cmdFileSave(bool saveAs) : mySaveAs(saveAs)
{
}

bool cmdFileSave::isActiveTest() const
{
    ObDoc* doc = tlCmd::currentDoc();
    return doc && doc->getPath().cs()[0] != '\0';
}

bool cmdFileSave::cmdAction()
{
    if (!tlCmd::currentDoc())
        return false;
    return ObApp::ourApp->saveDoc(nullptr, mySaveAs);
}

cmdFileSaveAs::cmdFileSaveAs() : cmdFileSave(true)
{
}

bool cmdFileSaveAs::isActiveTest() const
{
    return tlCmd::currentDoc() != nullptr;
}
