#include "ScaleTestSupport.h"
#include "mRangeSetups.h"

#include <string>

TEST(ScaleRecords, LastYearRangeEndsAtTheLargestDoubleWrittenInFull)
{
    rtl::str t;
    rangeAt(115)->getAttrAsString(rtl::str("zoomEnd"), t);
    std::string const s = t.c();
    EXPECT_EQ(s.find('.'), 309u);
    EXPECT_EQ(s.substr(0, 6), "179769");
}

TEST(ScaleRecords, PresetWithoutBoundsTakesThemFromItsFirstRow)
{
    mRangeSetups rss;
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
