#include "ObQtUi.h"
#include "ScratchDir.h"
#include "mApp.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// No question reaches a person: a test that makes the application ask installs its own answers.
struct NobodyUi : ObQtUi
{
    ObQtUi* previous = ObQtApp::ourUi;
    NobodyUi() { ObQtApp::ourUi = this; }
    ~NobodyUi() override { ObQtApp::ourUi = previous; }
    bool browseForFilePathToSave(aPath&, char const* title, char const*, char const*) override
    {
        ADD_FAILURE() << "unexpected question " << title;
        return false;
    }
    bool browseForFilePathToLoad(aPath&, char const* title, char const*, char const*) override
    {
        ADD_FAILURE() << "unexpected question " << title;
        return false;
    }
    int saveBeforeClosing(char const*) override
    {
        ADD_FAILURE() << "unexpected save question";
        return 0;
    }
    void warn(char const*, char const* text) override
    {
        ADD_FAILURE() << "unexpected warning " << text;
    }
    bool confirm(char const*, char const* text) override
    {
        ADD_FAILURE() << "unexpected question " << text;
        return false;
    }
};

} // namespace

// The folder's tests share one application object (Qt allows one per process), made before any
// test runs. Off screen unless the environment names a platform, so that no window or dialog ever
// waits for a person; the application's data goes to a folder of the run's own.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    ScratchDir data;
    setenv("XDG_DATA_HOME", data.path.c_str(), 1);
    mApp app(argc, argv);
    mApp::setIdentity();
    // The menu bar, which every document window takes in.
    app.init();
    NobodyUi nobody;
    return RUN_ALL_TESTS();
}
