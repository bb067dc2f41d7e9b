#include "ObDirty.h"
#include "ObDoc.h"
#include "ObQtMbar.h"
#include "ObQtTestSupport.h"
#include "ObQtWinDoc.h"
#include "ObTestSupport.h"

#include <QPointer>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct LayoutCounter : ObQtPanel
{
    LayoutCounter() : ObQtPanel(nullptr) {}
    void doLayout() override { ++layouts; }
    int layouts = 0;
};

// Gives the test application a dirt engine and a refresher for the life of a test.
struct AppEngines
{
    AppEngines() { app->myDirt = &dirt, app->myRefresher = &refresher; }
    ~AppEngines() { app->myDirt = nullptr, app->myRefresher = nullptr; }
    ObQtTestApp* app = ObQtTestApp::get();
    CountingRefresher refresher;
    ObDirty dirt{nullptr, &refresher};
};

} // namespace

TEST(ObQtPanelTest, QueuedDirtIsRaisedInOrderAtOneShowOnly)
{
    AppEngines engines;
    unsigned int const first = engines.dirt.newDirtId("DirtFirst");
    unsigned int const second = engines.dirt.newDirtId("DirtSecond");
    LayoutCounter panel;
    for (unsigned int id : {second, first, second})
        panel.setDirtyOnNextShow(id);
    EXPECT_FALSE(engines.dirt.isDirty(second)) << "nothing is raised before the show";

    testing::internal::CaptureStdout();
    panel.show();
    std::string const out = testing::internal::GetCapturedStdout();
    size_t const s = out.find("Set dirty DirtSecond"), f = out.find("Set dirty DirtFirst");
    EXPECT_LT(s, f);
    EXPECT_NE(f, std::string::npos);
    EXPECT_NE(out.find("Already dirty DirtSecond", f), std::string::npos) << "queued twice, raised twice";
    int const requests = engines.refresher.requests;
    EXPECT_GE(requests, 1);

    engines.dirt.clearAllDirt();
    panel.hide();
    panel.show();
    EXPECT_FALSE(engines.dirt.isDirty(first) || engines.dirt.isDirty(second));
    EXPECT_EQ(engines.refresher.requests, requests);

    // Shown while the document's engines are gone: the ids wait for a show that can raise them.
    panel.hide();
    panel.setDirtyOnNextShow(first);
    engines.app->myDirt = nullptr;
    panel.show();
    panel.hide();
    engines.app->myDirt = &engines.dirt;
    panel.show();
    EXPECT_TRUE(engines.dirt.isDirty(first));
}

TEST(ObQtPanelTest, EveryResizeLaysOutOnce)
{
    LayoutCounter panel;
    panel.show();
    int const atShow = panel.layouts;
    panel.resize(300, 200);
    panel.resize(320, 240);
    EXPECT_EQ(panel.layouts, atShow + 2);
}

TEST(ObQtPanelTest, DocumentWindowCarriesTheMenuBarAndGivesItBack)
{
    ObDoc doc;
    ObQtApp::ourMenuBar = new ObQtMbar;
    QPointer<ObQtMbar> bar = ObQtApp::ourMenuBar;
    {
        auto first = std::make_unique<ObQtWinDoc>(&doc);
        EXPECT_EQ(first->getDoc(), &doc);
        first->show();
        EXPECT_TRUE(bar->isVisible()) << "only a bar on screen fires its shortcuts";
        EXPECT_EQ(first->contentsRect().top(), bar->geometry().bottom() + 1);

        // The next document's window is built before the last one goes.
        ObQtWinDoc second(&doc);
        EXPECT_TRUE(second.holdsMenuBar());
        first.reset();
        ASSERT_TRUE(bar);
        EXPECT_TRUE(second.holdsMenuBar());
    }
    ASSERT_TRUE(bar) << "the last window gives the bar back";
    EXPECT_EQ(bar->parentWidget(), nullptr);
    delete ObQtApp::ourMenuBar;
    ObQtApp::ourMenuBar = nullptr;
}
