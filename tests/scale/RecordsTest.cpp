#include "ScaleTestSupport.h"
#include "mGridline.h"
#include "mRangeDay.h"
#include "mRangeSetups.h"

#include <list>
#include <string>
#include <vector>

namespace {

// Every attribute as "name=text", in list order.
std::vector<std::string> attrs(ObObj const& o)
{
    std::list<rtl::str> names;
    o.getAttrNames(names);
    std::vector<std::string> out;
    for (auto const& n : names) {
        rtl::str t;
        o.getAttrAsString(n, t);
        out.push_back(std::string(n.c()) + "=" + t.c());
    }
    return out;
}

} // namespace

TEST(ScaleRecords, RangeListsItsAttributesInOrderWithDefaults)
{
    mRangeDay day(timeUnits(), 3, 1.5, 2.5);
    EXPECT_EQ(attrs(day), (std::vector<std::string>{
                              "index=3", "offset=-1", "stackDepth=-1", "row=-1", "preSubtract=False",
                              "rowScaleUnits=0.000000", "zoomBegin=1.500000", "zoomEnd=2.500000",
                              "fontFamily=Gil Sans", "minFontSize=10", "maxFontSize=14", "fontSize=-1",
                              "labelHAlign=-1", "labelVAlign=-1", "maxLabelW=-1", "maxLabelH=-1", "note="}));
}

TEST(ScaleRecords, LastYearRangeEndsAtTheLargestDoubleWrittenInFull)
{
    rtl::str t;
    rangeAt(115)->getAttrAsString(rtl::str("zoomEnd"), t);
    std::string const s = t.c();
    EXPECT_EQ(s.find('.'), 309u);
    EXPECT_EQ(s.substr(0, 6), "179769");
}

TEST(ScaleRecords, PreSubtractFromUpperCaseTrueIsFalse)
{
    mRangeDay day(timeUnits(), 0, 0, 1);
    day.setPreSubtract(true);
    day.setAttrByString(rtl::str("preSubtract"), rtl::str("TRUE"), nullptr);
    EXPECT_FALSE(day.getPreSubtract());
}

TEST(ScaleRecords, GridlineStartsPlainAndUnlabelled)
{
    mGridline g(4, aTs(10.0), 12.5, -1);
    EXPECT_EQ(attrs(g), (std::vector<std::string>{"parentPos=12.500000", "index=4", "units=-1", "weight=0",
                                                  "label=", "labelDone=False", "tickDone=False"}));
    EXPECT_EQ(g.getGridWeight(), -1);
}

TEST(ScaleRecords, GridlineFlagsReadTrueOnlyFromTheTrueSpellings)
{
    mGridline g(1, aTs(0.0), 0, -1);
    g.setAttrByString(rtl::str("tickDone"), rtl::str("t"), nullptr);
    g.setAttrByString(rtl::str("labelDone"), rtl::str("1"), nullptr);
    EXPECT_TRUE(g.getTickDone());
    EXPECT_FALSE(g.getLabelDone());
}

TEST(ScaleRecords, RowLookHasItsSixtyFourAttributesAndDefaults)
{
    mRangeSetup rs;
    std::vector<std::string> const all = attrs(rs);
    ASSERT_EQ(all.size(), 64u);
    EXPECT_EQ(all.front(), "rangeId=");
    EXPECT_EQ(all[1], "doNotStack=True");
    EXPECT_EQ(all[2], "sizeScale=100.000000");
    EXPECT_EQ(all[26], "rampMidColorR=-1");
    EXPECT_EQ(all[37], "showLabels=True");
    EXPECT_EQ(all[40], "labelColorR=170");
    EXPECT_EQ(all[50], "showSpanLabel=True");
    EXPECT_EQ(all[56], "showTick=True");
    EXPECT_EQ(all.back(), "tickColorA=255");
}

TEST(ScaleRecords, PresetWithoutBoundsTakesThemFromItsFirstRow)
{
    mRangeSetups rss;
    EXPECT_EQ(attrs(rss), (std::vector<std::string>{"stopZoom=-1.000000", "startZoom=-1.000000", "presetName="}));
    rtl::ref<mRangeSetup> a(new mRangeSetup);
    rss.addRangeSetup(600, a);
    EXPECT_EQ(rss.getStartZoom(), 10.0);
    EXPECT_EQ(rss.getStopZoom(), 10.0);
}

TEST(ScaleRecords, SecondsPerUnitThatPrintAlikeShareOneLook)
{
    mRangeSetups rss;
    rtl::ref<mRangeSetup> a(new mRangeSetup), b(new mRangeSetup);
    rss.addRangeSetup(1.0000001, a);
    rss.addRangeSetup(1.0, b);
    EXPECT_EQ(rss.rangeSetups().size(), 1u);
    EXPECT_EQ(rss.getRangeSetup(1.0000001), b.get());
}
