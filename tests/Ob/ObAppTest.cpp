#include "ObApp.h"
#include "ObCmd.h"
#include "ObDoc.h"
#include "aPath.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using testing::HasSubstr;

namespace {

struct TestSucceedsCmd : ObCmd
{
    bool cmdAction() override { return true; }
};

// Stops because the user cancelled, as a file command does.
struct TestCancelledCmd : ObCmd
{
    bool cmdAction() override
    {
        ObApp::stopped(ObApp::Stop::Cancelled);
        return false;
    }
};

std::string gEvents;

struct TDoc : ObDoc
{
    explicit TDoc(char const* n) { setName(n); }
    // As the application's document: the bundle, the bundle without its extension and the file
    // inside it name one document.
    rtl::str normalizePath(rtl::str path) override
    {
        std::string p = path.cs();
        for (std::string tail : {"/doc_data.xml", ".orstime"})
            if (p.size() >= tail.size() &&
                p.compare(p.size() - tail.size(), tail.size(), tail) == 0)
                p.erase(p.size() - tail.size());
        return rtl::str(p.c_str());
    }
    void docWasActivated() override { gEvents += std::string("+") + getName().c(); }
    void docWasDeactivated() override { gEvents += std::string("-") + getName().c(); }
    void docWillBeClosed() override { gEvents += std::string("x") + getName().c(); }
};

// Answers the save question as told and records what the application asks for.
struct TApp : ObApp
{
    int answer = 1;
    bool saveOk = true;
    std::string opened;
    int askSaveBeforeClose(ObDoc*) override { return gEvents += "?", answer; }
    bool askForPathToSave(ObDoc*, aPath& path, char const*) override
    {
        path = aPath("/tmp/chosen.orstime");
        return true;
    }
    bool saveDoc(ObDoc* d, bool) override { return gEvents += std::string("s") + d->getPath().c(), saveOk; }
    using ObApp::openDoc;
    ObDoc* openDoc(char const* path) override { return opened = path, nullptr; }
};

std::string take()
{
    std::string e;
    e.swap(gEvents);
    return e;
}

// Each test leaves no documents behind.
struct ObAppF : testing::Test
{
    void TearDown() override
    {
        ObApp::ourCurrentDoc = nullptr;
        ObApp::ourDocs.clear();
        gEvents.clear();
    }
    TApp app;
};

} // namespace

TEST_F(ObAppF, NonConflictingTitles)
{
    EXPECT_STREQ(app.getNonConflictDocTitle("Untitled").c(), "Untitled");
    TDoc one("Untitled"), two("Untitled 2");
    ObApp::registerDoc(&one);
    ObApp::registerDoc(&two);
    EXPECT_STREQ(app.getNonConflictDocTitle("Untitled").c(), "Untitled 3");
    EXPECT_STREQ(app.getNonConflictDocTitle("untitled").c(), "untitled");
    ObApp::unregisterDoc(&one);
    EXPECT_STREQ(app.getNonConflictDocTitle("Untitled").c(), "Untitled");
}

TEST_F(ObAppF, ClosingMakesAnotherDocumentCurrent)
{
    TDoc a("A"), b("B");
    ObApp::registerDoc(&a);
    ObApp::registerDoc(&b);
    EXPECT_EQ(app.closeDoc(nullptr, false), nullptr); // nothing current
    app.activateDoc(&a);
    app.activateDoc(&a);
    app.activateDoc(&b);
    EXPECT_EQ(take(), "+A-A+B");
    testing::internal::CaptureStdout(); // traced
    EXPECT_EQ(app.closeDoc(nullptr, false), &b);
    app.closeDoc(&a, false);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(take(), "-BxB-AxA"); // A became current in between, without a hook
    EXPECT_TRUE(ObApp::ourDocs.empty());
}

TEST_F(ObAppF, SaveAndCloseFollowsTheAnswerAndSwitchingKeepsTheDocument)
{
    TDoc doc("Doc");
    ObApp::registerDoc(&doc);
    app.activateDoc(&doc);
    doc.setNeedsSave(true);
    take();
    app.answer = 0;
    EXPECT_FALSE(app.saveAndCloseDoc(nullptr));
    app.answer = 1;
    app.saveOk = false;
    EXPECT_FALSE(app.saveAndCloseDoc(nullptr));
    EXPECT_EQ(take(), "??s/tmp/chosen.orstime");
    EXPECT_EQ(app.getDoc(), &doc);
    EXPECT_TRUE(doc.getNeedsSave());

    // The same document asked for again: nothing happens. Another one: the current one closes
    // (and stays alive: its owner releases it) before the other is opened.
    EXPECT_EQ(app.tryTransitionToNewSingleDoc("/tmp/chosen.orstime"), &doc);
    EXPECT_EQ(take(), "");
    app.saveOk = true;
    EXPECT_EQ(app.tryTransitionToNewSingleDoc("/x/Other.orstime"), nullptr);
    EXPECT_EQ(take(), "?s/tmp/chosen.orstime-DocxDoc");
    EXPECT_EQ(app.opened, "/x/Other.orstime");
    EXPECT_FALSE(doc.getNeedsSave());
    EXPECT_STREQ(doc.getName().c(), "Doc");
    EXPECT_TRUE(app.saveAndCloseDoc(nullptr)); // nothing left to close
}

TEST_F(ObAppF, SwitchingComparesNormalisedPathsAlsoWithoutOne)
{
    TDoc doc("Doc");
    ObApp::registerDoc(&doc);
    app.activateDoc(&doc);
    doc.setPath("/p/Plan.orstime");
    take();
    for (char const* same : {"/p/Plan.orstime", "/p/Plan", "/p/Plan.orstime/doc_data.xml"})
        EXPECT_EQ(app.tryTransitionToNewSingleDoc(same), &doc) << same;
    EXPECT_EQ(take(), "");
    EXPECT_STREQ(ObDoc().normalizePath(rtl::str("/p/./Plan")).cs(), "/p/./Plan")
        << "the base takes a path as it is";

    // A document never saved has no path: any path names another document.
    doc.setPath(rtl::str());
    EXPECT_EQ(app.tryTransitionToNewSingleDoc("/p/Plan.orstime"), nullptr);
    EXPECT_EQ(app.opened, "/p/Plan.orstime");
    EXPECT_EQ(take(), "-DocxDoc");
}

TEST_F(ObAppF, CommandRunsFoldersAndTheBundle)
{
    TestSucceedsCmd ok;
    TestCancelledCmd cancelled;
    ObCmd plain;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(app.runCmd(&ok));
    EXPECT_FALSE(app.runCmd(&cancelled));
    EXPECT_FALSE(app.runCmd(&plain)) << "the cancel before it is not its own";
    EXPECT_THAT(testing::internal::GetCapturedStdout(),
                testing::ContainsRegex("SUCCESS!.*Cancelled\\..*Fail\\."));

    TDoc doc("Doc");
    app.setPathLastSaved("/a/b/c", &doc);
    app.setPathLastLoaded("nofolder", &doc);
    EXPECT_STREQ(ObApp::ourLastSavePaths[rtl::str("doc")].c(), "/a/b");
    EXPECT_STREQ(ObApp::ourLastLoadPaths[rtl::str("doc")].c(), "");
    std::string const exe = app.getExecutablePath().c();
    EXPECT_THAT(exe, HasSubstr("test_Ob"));
    EXPECT_EQ(std::string(app.getBundlePath().c()), exe.substr(0, exe.rfind('/')));
}
