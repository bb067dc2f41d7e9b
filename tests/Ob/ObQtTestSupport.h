#pragma once

#include "ObQtApp.h"
#include "ObQtUi.h"
#include "aPath.h"

#include <QEventLoop>
#include <QTimer>
#include <string>
#include <vector>

// Runs the event loop for a while, as the application would between two user actions.
inline void spinEventLoop(int ms = 30)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The folder's one application object (made by main.cpp), with engines the tests set.
class ObQtTestApp : public ObQtApp
{
public:
    using ObQtApp::ObQtApp;
    ObDirty* getAppDirtyEngine() const override { return myDirt; }
    aRefresher* getAppRefreshEngine() const override { return myRefresher; }
    static ObQtTestApp* get() { return dynamic_cast<ObQtTestApp*>(ObApp::ourApp); }

    ObDirty* myDirt = nullptr;
    aRefresher* myRefresher = nullptr;
};

// Answers the application's questions instead of a person (who would see a modal dialog),
// recording each as "kind|title|folder".
struct FakeUi : ObQtUi
{
    FakeUi() { ObQtApp::ourUi = this; }
    ~FakeUi() override { ObQtApp::ourUi = nullptr; }
    bool browseForFilePathToSave(aPath& out, char const* title, char const* dir, char const* filter) override
    {
        return answer("save", out, title, dir, filter);
    }
    bool browseForFilePathToLoad(aPath& out, char const* title, char const* dir, char const* filter) override
    {
        return answer("load", out, title, dir, filter);
    }
    int saveBeforeClosing(char const* docName) override
    {
        asked.push_back(std::string("close|") + docName);
        return closeAnswer;
    }
    bool answer(char const* kind, aPath& out, char const* title, char const* dir, char const* filter)
    {
        asked.push_back(std::string(kind) + "|" + title + "|" + (dir ? dir : "(none)") + (filter ? "|filter" : ""));
        if (chosen.empty())
            return false;
        out = chosen.c_str();
        return true;
    }
    std::string chosen; // empty: the user cancels
    int closeAnswer = 0;
    std::vector<std::string> asked;
};
