#include "ObApp.h"
#include "ObCmd.h"
#include "ObDoc.h"
#include "aPath.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Outside the anonymous namespace so that its traced class name is plain.
struct TestSucceedsCmd : ObCmd
{
    bool cmdAction() override { return true; }
};

namespace {

std::vector<std::string> gEvents;

struct TDoc : ObDoc
{
    explicit TDoc(char const* n) { setName(n); }
    void docWasActivated() override { gEvents.push_back(std::string("activated ") + getName().c()); }
    void docWasDeactivated() override { gEvents.push_back(std::string("deactivated ") + getName().c()); }
    void docWillBeClosed() override { gEvents.push_back(std::string("closing ") + getName().c()); }
    // Paths with and without the bundle suffix name one document.
    rtl::str normalizePath(rtl::str path) override
    {
        std::string p = path.c();
        if (p.size() > 8 && p.compare(p.size() - 8, 8, ".orstime") == 0)
            p.resize(p.size() - 8);
        return rtl::str(p.c_str());
    }
};

// Answers the save question as told and records what the application asks for.
struct TApp : ObApp
{
    int answer = 1;
    bool pathChosen = true;
    bool saveOk = true;
    std::vector<std::string> opened;

    int askSaveBeforeClose(ObDoc*) override
    {
        gEvents.push_back("asked");
        return answer;
    }
    bool askForPathToSave(ObDoc*, aPath& path, char const*) override
    {
        gEvents.push_back("path?");
        if (pathChosen)
            path = aPath("/tmp/chosen.orstime");
        return pathChosen;
    }
    bool saveDoc(ObDoc* d, bool) override
    {
        gEvents.push_back(std::string("save ") + d->getPath().c());
        return saveOk;
    }
    ObDoc* openDoc(char const* path) override
    {
        opened.push_back(path);
        return nullptr;
    }
};

std::vector<std::string> take()
{
    std::vector<std::string> e;
    e.swap(gEvents);
    return e;
}

using Events = std::vector<std::string>;

// Each test leaves no documents behind for the next.
struct ObAppF : testing::Test
{
    void TearDown() override
    {
        ObApp::ourCurrentDoc = nullptr;
        ObApp::ourDocs.clear();
        gEvents.clear();
    }
};

} // namespace

TEST_F(ObAppF, OneApplicationAndNonConflictingTitles)
{
    {
        TApp app;
        EXPECT_EQ(ObApp::ourApp, &app);
        EXPECT_DEATH(TApp second, "ASSERTION FAILED: !ourApp");
        EXPECT_STREQ(app.getNonConflictDocTitle("Untitled").c(), "Untitled");
        TDoc one("Untitled"), two("Untitled 2");
        ObApp::registerDoc(&one);
        ObApp::registerDoc(&two);
        ObApp::registerDoc(&two);
        EXPECT_EQ(ObApp::ourDocs.size(), 2u);
        EXPECT_STREQ(app.getNonConflictDocTitle("Untitled").c(), "Untitled 3");
        EXPECT_STREQ(app.getNonConflictDocTitle("untitled").c(), "untitled");
        EXPECT_EQ(app.getDoc("Untitled 2"), &two);
        EXPECT_EQ(app.getDoc("nope"), nullptr);
        ObApp::unregisterDoc(&one);
        EXPECT_STREQ(app.getNonConflictDocTitle("Untitled").c(), "Untitled");
        ObApp::unregisterDoc(&two);
    }
    EXPECT_EQ(ObApp::ourApp, nullptr);
    TDoc early("early");
    ObApp::registerDoc(&early);
    EXPECT_DEATH(TApp late, "ourDocs.size\\(\\)==0");
}

TEST_F(ObAppF, ActivationAndClosing)
{
    TApp app;
    auto a = std::make_unique<TDoc>("A");
    auto b = std::make_unique<TDoc>("B");
    ObApp::registerDoc(a.get());
    ObApp::registerDoc(b.get());
    EXPECT_EQ(app.closeDoc(nullptr, false), nullptr); // nothing current
    app.activateDoc(a.get());
    app.activateDoc(a.get());
    app.activateDoc(b.get());
    EXPECT_EQ(take(), (Events{"activated A", "deactivated A", "activated B"}));
    app.deactivateDoc(a.get()); // not current: ignored
    EXPECT_TRUE(take().empty());
    EXPECT_DEATH(ObApp::unregisterDoc(b.get()), "ourCurrentDoc != d");

    testing::internal::CaptureStdout();
    EXPECT_EQ(app.closeDoc(nullptr, false), b.get());
    std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("New Current Doc has been set"), std::string::npos);
    // The first remaining document becomes current; it was current before, so no hook runs.
    EXPECT_EQ(take(), (Events{"deactivated B", "closing B"}));
    EXPECT_EQ(app.getDoc(), a.get());

    a->setNeedsSave(true);
    EXPECT_DEATH(app.closeDoc(a.get(), false), "!doc->getNeedsSave\\(\\)");
    a->setNeedsSave(false);
    testing::internal::CaptureStdout();
    app.closeDoc(a.get(), false);
    log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("No Doc to make current"), std::string::npos);
    EXPECT_EQ(app.getDoc(), nullptr);
    EXPECT_TRUE(ObApp::ourDocs.empty());
}

TEST_F(ObAppF, SaveAndCloseFollowsTheAnswer)
{
    TApp app;
    EXPECT_TRUE(app.saveAndCloseDoc(nullptr)); // nothing to close
    TDoc doc("Doc");
    ObApp::registerDoc(&doc);
    app.activateDoc(&doc);
    take();

    doc.setNeedsSave(true);
    app.answer = 0;
    EXPECT_FALSE(app.saveAndCloseDoc(&doc));
    EXPECT_EQ(take(), (Events{"asked"}));
    EXPECT_EQ(app.getDoc(), &doc);

    app.answer = 1;
    app.pathChosen = false;
    EXPECT_FALSE(app.saveAndCloseDoc(nullptr));
    EXPECT_EQ(take(), (Events{"asked", "path?"}));
    app.pathChosen = true;
    app.saveOk = false;
    EXPECT_FALSE(app.saveAndCloseDoc(nullptr));
    EXPECT_EQ(take(), (Events{"asked", "path?", "save /tmp/chosen.orstime"}));
    EXPECT_TRUE(doc.getNeedsSave());
    EXPECT_EQ(app.getDoc(), &doc);

    app.saveOk = true;
    EXPECT_TRUE(app.saveAndCloseDoc(nullptr));
    EXPECT_EQ(take(), (Events{"asked", "save /tmp/chosen.orstime", "deactivated Doc", "closing Doc"}));
    EXPECT_FALSE(doc.getNeedsSave());
    EXPECT_EQ(app.getDoc(), nullptr);

    // "Don't save" closes without saving; a clean document closes without a question.
    ObApp::registerDoc(&doc);
    app.activateDoc(&doc);
    doc.setNeedsSave(true);
    app.answer = -1;
    take();
    EXPECT_TRUE(app.saveAndCloseDoc(&doc));
    EXPECT_EQ(take(), (Events{"asked", "deactivated Doc", "closing Doc"}));
    ObApp::registerDoc(&doc);
    app.activateDoc(&doc);
    take();
    EXPECT_TRUE(app.saveAndCloseDoc(&doc));
    EXPECT_EQ(take(), (Events{"deactivated Doc", "closing Doc"}));
}

TEST_F(ObAppF, TransitionToAnotherDocument)
{
    TApp app;
    EXPECT_EQ(app.tryTransitionToNewSingleDoc("/x/first.orstime"), nullptr);
    EXPECT_EQ(app.opened, (std::vector<std::string>{"/x/first.orstime"}));

    // The document stays in the caller's hands: closing it must not free it.
    auto doc = std::make_unique<TDoc>("Doc");
    doc->setPath("/x/Doc.orstime");
    ObApp::registerDoc(doc.get());
    app.activateDoc(doc.get());
    take();
    EXPECT_EQ(app.tryTransitionToNewSingleDoc("/x/Doc"), doc.get());
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(app.opened.size(), 1u);

    doc->setNeedsSave(true);
    app.answer = 0; // cancelled: the request still goes to openDoc, which asks again
    EXPECT_EQ(app.tryTransitionToNewSingleDoc("/x/Other.orstime"), nullptr);
    EXPECT_EQ(app.getDoc(), doc.get());
    app.answer = -1;
    app.tryTransitionToNewSingleDoc("/x/Other.orstime");
    EXPECT_EQ(app.getDoc(), nullptr);
    EXPECT_EQ(app.opened.back(), "/x/Other.orstime");
    EXPECT_STREQ(doc->getName().c(), "Doc");
}

TEST_F(ObAppF, CommandsFoldersAndTheBundle)
{
    TApp app;
    TestSucceedsCmd ok;
    ObCmd plain;
    EXPECT_TRUE(plain.isActiveTest());
    EXPECT_FALSE(plain.isCheckedTest());
    testing::internal::CaptureStdout();
    EXPECT_TRUE(app.runCmd(&ok));
    EXPECT_FALSE(app.runCmd(&plain));
    std::string log = testing::internal::GetCapturedStdout();
    std::string const on = "\033[30m\033[47m";
    EXPECT_NE(log.find(on + "====================================> BEGIN CMD: " + "TestSucceedsCmd"), std::string::npos)
        << log;
    EXPECT_NE(log.find("<====================================== END CMD: TestSucceedsCmd SUCCESS!"),
              std::string::npos);
    EXPECT_NE(log.find("BEGIN CMD: ObCmd"), std::string::npos);
    EXPECT_NE(log.find("END CMD: ObCmd Fail."), std::string::npos);
    EXPECT_DEATH(app.runCmd(nullptr), "ASSERTION FAILED: cmd");

    TDoc doc("Doc");
    app.setPathLastSaved("/a/b/c", &doc);
    app.setPathLastLoaded("nofolder", &doc);
    EXPECT_STREQ(ObApp::ourLastSavePaths[rtl::str("doc")].c(), "/a/b");
    EXPECT_STREQ(ObApp::ourLastLoadPaths[rtl::str("doc")].c(), "");

    std::string const exe = app.getExecutablePath().c();
    EXPECT_NE(exe.find("test_Ob"), std::string::npos) << exe;
    EXPECT_EQ(std::string(app.getBundlePath().c()), exe.substr(0, exe.rfind('/')));
}
