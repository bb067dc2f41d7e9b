#pragma once

#include "uiEngine.h"

// The questions of uiEngine in Qt's own modal dialogs, never the desktop's native ones, so that
// they behave the same everywhere: the file dialogs, and the save question in a
// uiDialogYesNoCancel. It holds no state: make one for each question.
//
// Documents are bundle folders ("Plan.orstime" holding "doc_data.xml"). A file dialog steps into
// a folder it is given; these take a bundle named in the file box (typed, or picked in the list)
// as the choice itself, so a document is opened by picking its bundle, by picking its
// "doc_data.xml" or by typing its path with or without the suffix. Saving onto an existing bundle
// asks first, as saving onto an existing file does.
class uiQtEngine : public uiEngine
{
public:
    uiQtEngine();
    ~uiQtEngine() override;

    // True with the chosen path (as the file system spells it) in out; false when cancelled,
    // out unchanged. Title, start folder and name filter may each be null; a start path that
    // names no folder opens its folder with its name offered, selected to be typed over.
    bool browseForFilePathToSave(aPath& out, char const* title, char const* dir,
                                 char const* filter) override;
    // 1 save, -1 don't save, 0 cancel (also Escape, or closing the question).
    int saveBeforeClosing(char const* docName) override;
    void warn(char const* title, char const* text) override;
    bool confirm(char const* title, char const* text) override;
    bool browseForFilePathToLoad(aPath& out, char const* title, char const* dir,
                                 char const* filter) override;

    // The suffix of a document bundle's folder.
    static char const* const ourBundleSuffix;

private:
    static bool browse(bool save, aPath& out, char const* title, char const* dir,
                       char const* filter);
};
