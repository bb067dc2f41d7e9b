#include "ObQtPanel.h"
#include "ObDirty.h"
#include "ObQtTestSupport.h"
#include "ObTestSupport.h"
#include "ScopedTraces.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

struct LayoutCounter : ObQtPanel
{
    Q_OBJECT

public:
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
    ObDirty dirt {nullptr, &refresher};
};

} // namespace

TEST(ObQtPanelTest, QueuedDirtIsRaisedInOrderAtOneShowOnlyAndEveryResizeLaysOut)
{
    AppEngines engines;
    unsigned int const first = engines.dirt.newDirtId("DirtFirst");
    unsigned int const second = engines.dirt.newDirtId("DirtSecond");
    LayoutCounter panel;
    for (unsigned int id : {second, first, second})
        panel.setDirtyOnNextShow(id);
    EXPECT_FALSE(engines.dirt.isDirty(second)) << "nothing is raised before the show";

    ScopedTraces traces(true);
    testing::internal::CaptureStdout();
    panel.show();
    std::string const out = testing::internal::GetCapturedStdout();
    size_t const s = out.find("Set dirty DirtSecond"), f = out.find("Set dirty DirtFirst");
    ASSERT_NE(f, std::string::npos);
    EXPECT_LT(s, f);
    EXPECT_THAT(out.substr(f), testing::HasSubstr("Already dirty DirtSecond"))
        << "queued twice, raised twice";
    int const requests = engines.refresher.requests;
    EXPECT_GE(requests, 1);

    engines.dirt.clearAllDirt();
    panel.hide();
    panel.show();
    EXPECT_FALSE(engines.dirt.isDirty(first));
    EXPECT_FALSE(engines.dirt.isDirty(second));
    EXPECT_EQ(engines.refresher.requests, requests);

    int const layouts = panel.layouts;
    panel.resize(300, 200);
    panel.resize(320, 240);
    EXPECT_EQ(panel.layouts, layouts + 2);

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

#include "ObQtPanelTest.moc"
