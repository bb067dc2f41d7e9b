#pragma once

#include "ObQtUi.h"

// The questions of ObQtUi in Qt's own modal dialogs.
class ObQtUiDialogs : public ObQtUi
{
public:
    ObQtUiDialogs();
    ~ObQtUiDialogs() override;

    bool browseForFilePathToSave(aPath& out, char const* title, char const* dir, char const* filter) override;
    bool browseForFilePathToLoad(aPath& out, char const* title, char const* dir, char const* filter) override;
    int saveBeforeClosing(char const* docName) override;
    void warn(char const* title, char const* text) override;
    bool confirm(char const* title, char const* text) override;

private:
    bool browse(bool save, aPath& out, char const* title, char const* dir, char const* filter);
};
