#pragma once

class aPath;

// The questions the application asks the user in modal dialogs. ObQtApp asks through
// ObQtApp::ourUi when one is installed (the views' UI service, or a stand-in in tests), and
// through the plain Qt dialogs of ObQtUiDialogs otherwise.
class ObQtUi
{
public:
    virtual ~ObQtUi();

    // A path to save to or to open, with the dialog's title, start folder and name filter (each
    // may be null); true when the user chose one, which is then in out. A start "folder" that
    // names no folder is a path whose folder the dialog starts in, offering its name.
    virtual bool browseForFilePathToSave(aPath& out, char const* title, char const* dir, char const* filter) = 0;
    virtual bool browseForFilePathToLoad(aPath& out, char const* title, char const* dir, char const* filter) = 0;
    // Save before closing? 1 save, -1 don't save, 0 cancel.
    virtual int saveBeforeClosing(char const* docName) = 0;
    // Tells the user that something went wrong, and waits until it was read.
    virtual void warn(char const* title, char const* text) = 0;
    // A question with a warning that needs a yes (true) or a no; no is the default answer.
    virtual bool confirm(char const* title, char const* text) = 0;
};
