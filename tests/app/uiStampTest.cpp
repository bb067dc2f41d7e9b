#include "uiStamp.h"

#include "Aa/TzGuard.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

TEST(uiStampTest, ShowsTheTimeOfItsConstructionUntilGivenAnother)
{
    aTs before;
    before.stamp();
    uiStamp stamp(nullptr, 0, 1, 6, false, 12);
    aTs after;
    after.stamp();
    aTs shown = stamp.getTs();
    EXPECT_LE(before.getSecondsSince1970(), shown.getSecondsSince1970());
    EXPECT_GE(after.getSecondsSince1970(), shown.getSecondsSince1970());
    EXPECT_STREQ(stamp.getText(), shown.getSnappedStr(0, 6, 1).c());
}

TEST(uiStampTest, TextFollowsTheInstantAndTheUnitsAtOnce)
{
    TzGuard zone("UTC");
    uiStamp stamp(nullptr, 0, 1, 6, true, 12);
    aTs instant(double(utcSeconds(2024, 1, 2, 3, 4, 5)));
    stamp.setTs(instant);
    EXPECT_STREQ(stamp.getText(), "1 / 02 / 2024   3 : 04 : 05");
    EXPECT_EQ(stamp.getTs().getSecondsSince1970(), instant.getSecondsSince1970());

    stamp.setResolution(3, 6);
    EXPECT_STREQ(stamp.getText(), "1 / 02 / 2024   3");
    stamp.setResolution(1, 3);
    EXPECT_STREQ(stamp.getText(), " 3 : 04 : 05");
}

TEST(uiStampTest, TextTooWideForTheDisplayIsDrawnSmallerNotCut)
{
    TzGuard zone("UTC");
    uiStamp stamp(nullptr, 0, 1, 6, false, 12);
    aTs instant(double(utcSeconds(2024, 12, 28, 23, 59, 58)));
    stamp.setTs(instant);
    QString const text = QString::fromUtf8(stamp.getText());

    stamp.resize(600, 20);
    stamp.show();
    EXPECT_EQ(stamp.getDrawnFont().pixelSize(), 12);

    stamp.resize(120, 20);
    EXPECT_LT(stamp.getDrawnFont().pixelSize(), 12);
    EXPECT_LE(QFontMetrics(stamp.getDrawnFont()).horizontalAdvance(text), 115);
}

// Beyond the calendar's years an instant has no fields to show: dashes, as the ruler shows it.
TEST(uiStampTest, AnInstantWithoutADateShowsDashes)
{
    uiStamp stamp(nullptr, 0, 1, 6, false, 12);
    for (double const seconds : {1e300, -1e300}) {
        aTs undated(seconds);
        stamp.setTs(undated);
        EXPECT_STREQ(stamp.getText(), "--") << seconds;
    }
}
