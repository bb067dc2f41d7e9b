#include "ModelFixture.h"
#include "tlScene.h"
#include "tlUi.h"
#include "uiGi.h"

namespace {

struct SceneSync : ModelFixture
{
    tlScene& scene = *doc.cmp.getUi()->getScene();
    Obh l = tl.newLayer();

    void sync()
    {
        tl.restackLayers();
        tl.getEdb()->syncEventsToView(&tl, &scene);
    }
    int itemsInScene() const { return static_cast<int>(scene.items().size()); }
};

} // namespace

TEST_F(SceneSync, VisibleEventsGetItemsUnderTheirLayersItem)
{
    Obh shown = at(100, 50, 0, l), later = at(5000, 50, 0, l), instant = at(400, 0, 1, l, true);
    sync();
    ASSERT_NE(ev(shown)->giGet(), nullptr);
    EXPECT_EQ(ev(shown)->giGet()->parentItem(), layer(l)->giGet());
    EXPECT_EQ(ev(shown)->giGet()->zValue(), 1.0);
    EXPECT_EQ(layer(l)->giGet()->scene(), &scene);
    EXPECT_EQ(ev(later)->giGet(), nullptr);
    EXPECT_EQ(itemsInScene(), 3) << "the layer and the two events in view";
    // In the layer's item: x from the time, y below the layer's top, 30 pixels a row.
    EXPECT_EQ(ev(shown)->giGet()->x(), 101.0);
    EXPECT_EQ(ev(shown)->getSceneW(), 49.0) << "the visible extent starts a pixel in";
    double ey = 0, eh = 0;
    ev(instant)->getSceneVisRowSpan(ey, eh);
    EXPECT_EQ(ev(instant)->giGet()->y(), ey - layer(l)->getSceneY());
    EXPECT_NEAR(ev(instant)->getSceneH(), 30.0, 1e-9);
    EXPECT_NEAR(ev(instant)->giGet()->x(), 400.0, 1.0) << "an instant's item is centred on it";
}

TEST_F(SceneSync, PanningOutDeletesTheItemAndBackMakesANewOne)
{
    Obh h = at(100, 50, 0, l);
    sync();
    ASSERT_NE(ev(h)->giGet(), nullptr);
    layOut(2000, 3000);
    sync();
    EXPECT_EQ(ev(h)->giGet(), nullptr);
    EXPECT_EQ(itemsInScene(), 1);
    layOut(0, 1000);
    sync();
    ASSERT_NE(ev(h)->giGet(), nullptr);
    EXPECT_EQ(ev(h)->giGet()->parentItem(), layer(l)->giGet());
}

TEST_F(SceneSync, ItemsAreSizedFromTheClippedExtentAtAnyZoom)
{
    Obh longSpan = at(-1e9, 2e9, 0, l), narrow = at(500, 0.001, 1, l);
    layOut(499.999, 500.002); // a few microseconds across 1,000 pixels
    sync();
    ASSERT_NE(ev(longSpan)->giGet(), nullptr);
    EXPECT_LE(ev(longSpan)->getSceneW(), 3 * 1000 + 1) << "never the event's full length";
    EXPECT_GE(ev(longSpan)->giGet()->x(), -1000.0);
    EXPECT_EQ(ev(longSpan)->giGet()->boundingRect().width(), ev(longSpan)->getSceneW());
    layOut(0, 1e9);
    sync();
    ASSERT_NE(ev(narrow)->giGet(), nullptr);
    EXPECT_EQ(ev(narrow)->getSceneW(), 1.0) << "a pixel wide at least";
}

TEST_F(SceneSync, AHiddenLayerShowsNothingAnInactiveOneIsOnlyDimmed)
{
    Obh h = at(100, 50, 0, l);
    sync();
    layer(l)->setIsActive(false);
    sync();
    EXPECT_EQ(layer(l)->giGet()->scene(), &scene) << "hiding is off: the band stays";
    EXPECT_NE(ev(h)->giGet(), nullptr);
    EXPECT_EQ(itemsInScene(), 2);
    tl.setLayerHidingEnabled(true);
    sync();
    EXPECT_EQ(ev(h)->giGet(), nullptr);
    EXPECT_EQ(layer(l)->giGet()->scene(), nullptr) << "the layer keeps its item out of the scene";
    EXPECT_EQ(itemsInScene(), 0);
    tl.setLayerHidingEnabled(false);
    sync();
    EXPECT_EQ(layer(l)->giGet()->scene(), &scene);
    EXPECT_NE(ev(h)->giGet(), nullptr);
}

TEST_F(SceneSync, EnsuringAnItemPlacesItAsTheSyncDoes)
{
    Obh h = at(100, 50, 0, l);
    sync();
    double const x = ev(h)->giGet()->x(), y = ev(h)->giGet()->y(), w = ev(h)->getSceneW();
    layOut(0, 2000);
    sync();
    layOut(0, 1000);
    tl.restackLayers();
    ASSERT_NE(ev(h)->giEnsure(h), nullptr);
    EXPECT_EQ(ev(h)->giGet()->x(), x);
    EXPECT_EQ(ev(h)->giGet()->y(), y);
    EXPECT_EQ(ev(h)->getSceneW(), w);
    EXPECT_EQ(ev(h)->giEnsure(h), ev(h)->giGet()) << "the same item again";
    layOut(2000, 3000);
    EXPECT_EQ(ev(h)->giEnsure(h), nullptr);
    EXPECT_EQ(ev(h)->giGet(), nullptr) << "out of the window it loses its item";
}

TEST_F(SceneSync, LayerScalesFollowTheTimelines)
{
    Obh other = tl.newLayer();
    tl.restackLayers();
    doc.dirt.clearAllDirt();
    tl.syncLayerViews();
    for (Obh h : {l, other}) {
        EXPECT_EQ(layer(h)->timeScale()->getMinVisValue(), ts.getMinVisValue());
        EXPECT_EQ(layer(h)->timeScale()->getMaxVisValue(), ts.getMaxVisValue());
        EXPECT_EQ(layer(h)->rowScale()->getParentSize(), static_cast<int>(layer(h)->getModelH()));
    }
    EXPECT_TRUE(raised(tlObj::DirtLayerTimeScale));
    tl.clearLayers();
    doc.dirt.clearAllDirt();
    tl.syncLayerViews();
    EXPECT_FALSE(raised(tlObj::DirtLayerTimeScale)) << "no layers, nothing to follow";
}

// A row whose events cannot be told apart (more than one in four pixels, or a row thinner than
// four) is drawn crowded, without items; the others keep an item per event, and a row that
// becomes sparse again gets them back. Past the budget the fullest rows go crowded first.
TEST_F(SceneSync, RowsTooFullOrTooThinAreCrowdedTheOthersHaveItems)
{
    auto crowded = [&](double row) {
        for (auto& [key, r] : layer(l)->rowIndex().rows())
            if (key.row == row)
                return r.crowded;
        return false;
    };
    std::vector<Obh> dense, sparse;
    for (int i = 0; i < 400; ++i)
        dense.push_back(at(i * 2.5, 2, 0, l));
    for (int i = 0; i < 20; ++i)
        sparse.push_back(at(i * 50.0, 20, 1, l));
    sync();
    EXPECT_TRUE(crowded(0));
    EXPECT_FALSE(crowded(1));
    EXPECT_TRUE(std::none_of(dense.begin(), dense.end(), [](Obh h) { return ev(h)->giGet(); }));
    EXPECT_TRUE(std::all_of(sparse.begin(), sparse.end(), [](Obh h) { return ev(h)->giGet(); }));
    EXPECT_EQ(itemsInScene(), 1 + 20);

    layOut(0, 100); // forty of the dense row in a thousand pixels
    sync();
    EXPECT_FALSE(crowded(0));
    EXPECT_NE(ev(dense[10])->giGet(), nullptr);

    // A long span reaching in from before many others: the row shows one event, not crowded.
    Obh const reaching = at(-1e6, 1e6 + 50, 5, l);
    for (int i = 0; i < 400; ++i)
        at(-1e6 + 10 + i * 100, 5, 5, l);
    sync();
    EXPECT_FALSE(crowded(5));
    EXPECT_NE(ev(reaching)->giGet(), nullptr);

    perp.zoomToLocalRange(0.0, 400.0, 1.0f); // rows of a pixel and a half
    sync();
    EXPECT_TRUE(crowded(0));
    EXPECT_TRUE(crowded(1));
    EXPECT_EQ(itemsInScene(), 1);

    perp.zoomToLocalRange(0.0, 20.0, 1.0f);
    layOut(0, 1000);
    for (int row = 2; row < 14; ++row) // a hundred a row, each sparse enough alone
        for (int i = 0; i < 100; ++i)
            at(i * 10.0 + row % 2, 5, row, l);
    sync();
    int open = 0;
    for (int row = 1; row < 14; ++row)
        open += !crowded(row);
    EXPECT_EQ(open, 10) << "the budget of " << mEdb::ItemBudget << " leaves ten rows of items";
    EXPECT_TRUE(crowded(0));
    EXPECT_FALSE(crowded(1)) << "the sparsest keeps its items";
}

TEST_F(SceneSync, ARefreshPassSyncsTheSceneAfterTheLayout)
{
    Obh h = at(100, 50, 0, l);
    doc.dirt.setDirty(tlObj::DirtLayout, true);
    doc.pass();
    EXPECT_NE(ev(h)->giGet(), nullptr);
}

namespace {

using Snapping = ModelFixture;

} // namespace

// A refresh pass after the time scale or a layer's time scale moved gives every layer's time
// scale the range from 1 to one past the latest end of any event of any layer; a layer without
// events counts as reaching from 0 to 0.
TEST_F(Snapping, ARefreshPassSnapsEveryLayersTimeScaleToTheLatestEnd)
{
    struct Span
    {
        double start, length;
        bool instant = false;
    };
    struct Case
    {
        char const* what;
        uint32_t dirt;
        std::vector<std::vector<Span>> layers;
        double max;
    };
    Case const cases[] = {
        {"the latest end of all layers",
         tlObj::DirtTimeScaleZoom,
         {{{100, 50}, {400, 50}}, {{-50, 70}}},
         451.0},
        {"an instant ends at its time",
         tlObj::DirtTimeScalePan,
         {{{100, 50}}, {{700, 0, true}}},
         701.0},
        {"a layer without events reaches to 0",
         tlObj::DirtTimeScalePanToNow,
         {{{-500, 400}}, {}},
         1.0},
        {"only events before 1970",
         tlObj::DirtLayerTimeScale,
         {{{-500, 400}}, {{-300, 100}}},
         -99.0},
        {"one layer, no events", tlObj::DirtTimeScaleZoom, {{}}, 1.0},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        tl.clearLayers();
        std::vector<Obh> layers;
        for (auto const& spans : c.layers) {
            layers.push_back(tl.newLayer());
            double row = 0;
            for (Span const& s : spans)
                at(s.start, s.length, row++, layers.back(), s.instant);
        }
        doc.pass();
        doc.dirt.clearAllDirt();
        for (Obh const& h : layers) {
            layer(h)->timeScale()->setMinValue(-7.0);
            layer(h)->timeScale()->setMaxValue(-7.0);
        }
        doc.dirt.setDirty(c.dirt, true);
        doc.pass();
        for (Obh const& h : layers) {
            EXPECT_EQ(layer(h)->timeScale()->getMinValue(), 1.0);
            EXPECT_EQ(layer(h)->timeScale()->getMaxValue(), c.max);
        }
    }

    // The first pass snaps the scale; the next leaves it, start included, as it already ends there.
    tl.clearLayers();
    Obh l = tl.newLayer();
    at(100, 50, 0, l);
    for (double min : {1.0, 5.0}) {
        layer(l)->timeScale()->setMinValue(min);
        doc.dirt.clearAllDirt();
        doc.dirt.setDirty(tlObj::DirtTimeScaleZoom, true);
        doc.pass();
        EXPECT_EQ(layer(l)->timeScale()->getMinValue(), min);
        EXPECT_EQ(layer(l)->timeScale()->getMaxValue(), 151.0);
    }
}
