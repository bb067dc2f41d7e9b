#pragma once

#include "ObQtApp.h"
#include "ObQtUi.h"
#include "aPath.h"

#include <QCoreApplication>
#include <QTest>
#include <string>
#include <vector>

// Runs the event loop until the condition holds; false if it did not within a bound that a slow
// machine under the sanitizers stays far below.
template <class Condition> bool waitFor(Condition condition)
{
    return QTest::qWaitFor(condition, 10000);
}

// Runs what is due now (posted events, 0 ms timers) and returns: what is not there by then
// would need a new request.
inline void drainEvents()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The folder's one application object (made by main.cpp), with engines the tests set.
class ObQtTestApp : public ObQtApp
{
    Q_OBJECT
public:
    using ObQtApp::ObQtApp;
    bool init() override { return !myInitFails && ObQtApp::init(); }
    ObDirty* getAppDirtyEngine() const override { return myDirt; }
    aRefresher* getAppRefreshEngine() const override { return myRefresher; }
    static ObQtTestApp* get() { return dynamic_cast<ObQtTestApp*>(ObApp::ourApp); }

    ObDirty* myDirt = nullptr;
    aRefresher* myRefresher = nullptr;
    bool myInitFails = false;
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
    void warn(char const*, char const* text) override { warned.push_back(text); }
    bool confirm(char const*, char const*) override { return false; }
    bool answer(aPath& out, char const* title, char const* dir)
    {
        asked.push_back(std::string(title) + "|" + (dir ? dir : "(none)"));
        if (!chosen.empty())
            out = chosen.c_str();
        return !chosen.empty();
    }
    std::string chosen; // empty: the user cancels
    std::vector<std::string> asked;
    std::vector<std::string> warned;
};
