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

// Answers the application's questions instead of a person, recording each as "title|folder".
struct FakeUi : ObQtUi
{
    FakeUi() { ObQtApp::ourUi = this; }
    ~FakeUi() override { ObQtApp::ourUi = nullptr; }
    bool browseForFilePathToSave(aPath& out, char const* title, char const* dir, char const*) override
    {
        return answer(out, title, dir);
    }
    bool browseForFilePathToLoad(aPath& out, char const* title, char const* dir, char const*) override
    {
        return answer(out, title, dir);
    }
    int saveBeforeClosing(char const*) override { return 0; }
    bool answer(aPath& out, char const* title, char const* dir)
    {
        asked.push_back(std::string(title) + "|" + (dir ? dir : "(none)"));
        if (!chosen.empty())
            out = chosen.c_str();
        return !chosen.empty();
    }
    std::string chosen; // empty: the user cancels
    std::vector<std::string> asked;
};
