#pragma once

#include "ObQtApp.h"
#include "ObQtUi.h"
#include "aPath.h"

#include <string>
#include <vector>

// Answers the application's questions for as long as it lives, recording what was asked.
struct AnswerUi : ObQtUi
{
    ObQtUi* previous = ObQtApp::ourUi;
    std::string savePath; // empty: the user cancels
    std::string loadPath; // empty: the user cancels
    int saveAnswer = -1;  // don't save
    bool confirmAnswer = false;
    std::vector<std::string> asked;
    std::vector<std::string> saveStarts; // where each save dialog started
    std::vector<std::string> warnings;

    AnswerUi() { ObQtApp::ourUi = this; }
    ~AnswerUi() override { ObQtApp::ourUi = previous; }
    bool browseForFilePathToSave(aPath& out, char const* title, char const* dir,
                                 char const*) override
    {
        asked.push_back(title);
        saveStarts.push_back(dir ? dir : "(none)");
        if (!savePath.empty())
            out = savePath.c_str();
        return !savePath.empty();
    }
    bool browseForFilePathToLoad(aPath& out, char const* title, char const*, char const*) override
    {
        asked.push_back(title);
        if (!loadPath.empty())
            out = loadPath.c_str();
        return !loadPath.empty();
    }
    int saveBeforeClosing(char const*) override
    {
        asked.push_back("save before closing");
        return saveAnswer;
    }
    void warn(char const*, char const* text) override { warnings.push_back(text); }
    bool confirm(char const*, char const* text) override
    {
        asked.push_back(text);
        return confirmAnswer;
    }
};
