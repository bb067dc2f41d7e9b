#include "Ob/ObTestTypes.h"
#include "ScaleTestSupport.h"
#include "ScratchDir.h"
#include "mScale.h"

#include <dirent.h>

#include <string>
#include <vector>

namespace {

std::string data(char const* name)
{
    return std::string(VANTREL_TEST_DATA_DIR) + "/" + name;
}

// A store with the scale type, as a document's component registers it.
struct ScaleStore
{
    ScaleStore() { engine.registerType(&scales); }
    mScale* at(uint32_t addr) { return static_cast<mScale*>(scales.objFromAddr(addr)); }
    ObClassTypeOf<mScale> scales{"mScale", 1, 1};
    ObEngine engine;
};

aTs at(long sec, long ns)
{
    aTs t(static_cast<double>(sec));
    t.setNs(ns);
    return t;
}

// One time scale and one numeric scale with every part of their state set.
void fill(ScaleStore& s)
{
    mScale* time = static_cast<mScale*>(s.scales.make().obj());
    time->setNote(rtl::str("Timeline TIME scale"));
    time->setTimeUnits();
    time->setParentSize(1600);
    time->zoomToLocalRange(at(1709596800, 123456788), at(1709596800 + 96000, 123456788), 1.0f);
    time->localSelectAtParentSpan(100, 300);
    time->localSelectAtParentPos(40);
    mScale* num = static_cast<mScale*>(s.scales.make().obj());
    num->setNote(rtl::str("Timeline PERP scale"));
    num->setNumericUnits();
    num->setParentSize(400);
    num->setMinValue(-10);
    num->setMaxValue(20);
    num->zoomToLocalRange(-0.5, 12.25, 1.0f);
    num->localSelectAtParentPos(10);
}

} // namespace

TEST(ScalePersistence, TheObjectsPartMatchesTheGoldenFileByteForByte)
{
    TzGuard zone("UTC");
    FixedMeasure fixed;
    ScratchDir dir;
    ScaleStore s;
    fill(s);
    std::string const f = dir.file("scales.xml");
    ASSERT_TRUE(saveObjects(s.engine, f));
    EXPECT_EQ(readFile(f), readFile(data("objects_golden.xml")));
}

TEST(ScalePersistence, ATimeScaleComesBackToTheNanosecondAndANumericOneThroughNum)
{
    TzGuard zone("UTC");
    FixedMeasure fixed;
    ScratchDir dir;
    std::string const f = dir.file("scales.xml");
    ScaleStore saved;
    fill(saved);
    ASSERT_TRUE(saveObjects(saved.engine, f));
    ScaleStore loaded;
    ASSERT_TRUE(loadObjects(loaded.engine, f));
    for (uint32_t addr : {0u, 1u}) {
        mScale const* a = saved.at(addr);
        mScale const* b = loaded.at(addr);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(std::string(b->getUnitType().c()), std::string(a->getUnitType().c()));
        EXPECT_TRUE(b->getVisStart() == a->getVisStart()) << addr << " " << b->getVisStart().nsec();
        EXPECT_TRUE(b->getVisEnd() == a->getVisEnd()) << addr;
        EXPECT_TRUE(b->getSelStart() == a->getSelStart()) << addr;
        EXPECT_EQ(b->getZoom(), a->getZoom()) << addr;
        aTs s1, e1, s2, e2;
        int k1 = 0, k2 = 0;
        a->getLastSelection(s1, e1, k1);
        b->getLastSelection(s2, e2, k2);
        EXPECT_TRUE(s1 == s2) << addr;
        EXPECT_TRUE(e1 == e2) << addr;
    }
    EXPECT_EQ(loaded.at(1)->getVisStart().asSeconds(), -0.5);
    EXPECT_EQ(loaded.at(1)->getVisEnd().asSeconds(), 12.25);
}

// Saved on London's repeated hour and in New York, opened in Kathmandu: the same instants.
TEST(ScalePersistence, TimestampsReadBackAsTheSameInstantInAnotherZone)
{
    FixedMeasure fixed;
    ScratchDir dir;
    std::string const f = dir.file("zones.xml");
    ScaleStore saved;
    {
        TzGuard london("Europe/London");
        mScale* s = static_cast<mScale*>(saved.scales.make().obj());
        s->setTimeUnits();
        s->setParentSize(1000);
        // 2024-10-27 01:30 happens twice in London; these are the second one (GMT) and a half
        // hour later.
        s->zoomToLocalRange(at(1729992600, 0), at(1729994400, 0), 1.0f);
        TzGuard newYork("America/New_York");
        mScale* t = static_cast<mScale*>(saved.scales.make().obj());
        t->setTimeUnits();
        t->setParentSize(1000);
        t->zoomToLocalRange(at(1730611800, 500), at(1730615400, 500), 1.0f);
        ASSERT_TRUE(saveObjects(saved.engine, f));
    }
    TzGuard kathmandu("Asia/Kathmandu");
    ScaleStore loaded;
    ASSERT_TRUE(loadObjects(loaded.engine, f));
    for (uint32_t addr : {0u, 1u}) {
        EXPECT_TRUE(loaded.at(addr)->getVisStart() == saved.at(addr)->getVisStart()) << addr;
        EXPECT_TRUE(loaded.at(addr)->getVisEnd() == saved.at(addr)->getVisEnd()) << addr;
    }
}

// The widest views the program reaches open again showing what they showed: zoomed out until
// the zoom stops (the wheel and the strip take the same steps), and fitted to ten billion years,
// more than the calendar dates. Both, wider still from older saves, are in the corpus of
// documents too.
TEST(ScalePersistence, TheWidestViewsOpenAgain)
{
    TzGuard zone("UTC");
    FixedMeasure fixed;
    ScratchDir dir;
    ScaleStore saved;
    aTs const now = at(1780000000, 0);
    for (double years : {0.0, 1e10}) {
        mScale* s = static_cast<mScale*>(saved.scales.make().obj());
        s->setTimeUnits();
        s->setParentSize(1600);
        s->zoomToLocalRange(now, now + aTimeDelta(86400.0 + years * 365.25 * 86400), 1.0f);
        for (double before = 0; !years && before != s->getZoom(); s->zoomOutAtLocalPos(800, 1))
            before = s->getZoom();
        s->reconfig();
    }
    EXPECT_EQ(saved.at(0)->getZoom(), 2 * mScale::DatedSeconds / 1600);
    ScaleStore loaded;
    ASSERT_TRUE(saveObjects(saved.engine, dir.file("wide.xml")));
    ASSERT_TRUE(loadObjects(loaded.engine, dir.file("wide.xml")));
    for (uint32_t addr : {0u, 1u}) {
        mScale const* a = saved.at(addr);
        ASSERT_NE(loaded.at(addr), nullptr);
        EXPECT_NEAR(loaded.at(addr)->getZoom(), a->getZoom(), a->getZoom() * 1e-9) << addr;
        EXPECT_NEAR(loaded.at(addr)->getVisStart().asSeconds(), a->getVisStart().asSeconds(), 1e3)
            << addr;
        EXPECT_NEAR(loaded.at(addr)->getVisEnd().asSeconds(), a->getVisEnd().asSeconds(), 1e3)
            << addr;
    }
}

TEST(ScalePersistence, OlderNamesFieldsWithoutOffsetAndAZoomThatIsRefitted)
{
    TzGuard zone("UTC");
    FixedMeasure fixed;
    ScaleStore s;
    ASSERT_TRUE(loadObjects(s.engine, data("older-names.xml")));
    mScale const* scale = s.at(0);
    ASSERT_NE(scale, nullptr);
    // range_start and range_end, fields without an offset read as local time.
    EXPECT_EQ(scale->getVisStart().asSeconds(), 1709596800);
    // The stored window is one second (start and end equal), fitted to the 500-pixel axis.
    EXPECT_EQ(scale->getVisEnd().asSeconds(), 1709596801);
    EXPECT_EQ(scale->getZoomFract(), 2000000);
}

// A timestamp without "dst" (hand-written, or from an older program) is read, not refused: its
// offset alone decides the instant, also in New York's repeated hour; without the offset too, the
// zone's rules do.
TEST(ScalePersistence, TimestampsWithoutDaylightSavingAreRead)
{
    TzGuard zone("America/New_York");
    FixedMeasure fixed;
    ScaleStore s;
    ASSERT_TRUE(loadObjects(s.engine, data("without-dst.xml")));
    EXPECT_EQ(s.at(0)->getVisStart().asSeconds(), 1730615400); // the second 1:30, EST
    EXPECT_EQ(s.at(0)->getVisEnd().asSeconds(), 1730620800);
}

TEST(ScalePersistence, DamagedScaleElementsAreRefusedWithoutStopping)
{
    TzGuard zone("UTC");
    FixedMeasure fixed;
    std::vector<std::string> names;
    DIR* d = opendir(data("damaged").c_str());
    ASSERT_NE(d, nullptr);
    while (dirent* e = readdir(d))
        if (e->d_name[0] != '.')
            names.emplace_back(e->d_name);
    closedir(d);
    ASSERT_FALSE(names.empty());
    for (auto const& n : names) {
        ScaleStore s;
        bool const ok = loadObjects(s.engine, data("damaged") + "/" + n);
        if (n.rfind("refuse-", 0) == 0) {
            EXPECT_FALSE(ok) << n;
            EXPECT_EQ(s.scales.getCurrentTypeCount(), 0u) << n;
        } else {
            ASSERT_TRUE(ok) << n;
            mScale const* scale = s.at(0);
            ASSERT_NE(scale, nullptr) << n;
            EXPECT_LE(scale->getParentSize(), mScale::MaxParentSize) << n;
            EXPECT_EQ(scale->isTimeScale(), scale->getUnitType() == "time") << n;
        }
    }
}

TEST(ScalePersistence, ATimestampWithANullNameGoesOntoTheOpenElement)
{
    TzGuard zone("UTC");
    ScratchDir dir;
    std::string const f = dir.file("ts.xml");
    {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(f.c_str(), "event_time"));
        EXPECT_TRUE(mScale::xmlWriteTs(w, at(1709596800, 7), nullptr));
        ASSERT_TRUE(w.endDocument());
    }
    std::string const text = readFile(f);
    EXPECT_NE(text.find("<event_time yr=\"2024\" mo=\"3\" dy=\"5\" hr=\"0\" mn=\"0\" sc=\"0\" ns=\"7\" dst=\"False\" "
                        "gmtOffsetSecs=\"0\"/>"),
              std::string::npos)
        << text;
}
