#pragma once

#include "ObCmd.h"

// "Save": the current document is saved where it was, or where the user says when it never
// was. The answer is the save's: a save that failed fails the command.
class cmdFileSave : public ObCmd
{
public:
    cmdFileSave();
    // Active with a current document, saved or not: a document never saved asks for its place,
    // as users expect of Ctrl+S on a new document.
    bool isActiveTest() const override;
    bool cmdAction() override;

    static cmdFileSave ourInstance;

protected:
    explicit cmdFileSave(bool saveAs);

private:
    bool mySaveAs;
};
