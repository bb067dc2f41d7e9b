#include "tlObj.h"
#include "ObDirty.h"
#include "ScopedTraces.h"
#include "TimelineTestDoc.h"
#include "aRefresher.h"
#include "mScale.h"
#include "mTimeline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using testing::HasSubstr;
using testing::Not;

TEST(tlObj, SpansOverlapOnlyWhereTheyShareMoreThanAnEdge)
{
    struct Row
    {
        double aStart, aLength, bStart, bLength;
        bool overlap;
    };
    for (Row r : {Row {0, 10, 10, 5, false}, Row {0, 10, 9.5, 5, true}, Row {10, 5, 0, 10, false},
                  Row {10, -10, 5, 1, true}, Row {5, 1, 10, -10, true}, Row {3, 0, 3, 5, false},
                  Row {3, 5, 3, 0, true}, Row {0, 1, 2, 1, false}, Row {2, 1, 0, 1, false}})
        EXPECT_EQ(tlObj::dimIntersects(r.aStart, r.aLength, r.bStart, r.bLength), r.overlap)
            << r.aStart << "+" << r.aLength << " / " << r.bStart << "+" << r.bLength;
}

TEST(tlObj, AnInstantTakesFifteenPixelsEachSide)
{
    TimelineTestDoc doc;
    mScale* time = doc.cmp.getCmpTimeline()->timeScale();
    time->setParentSize(1000);
    double const t0 = 1.7e9;
    time->zoomToLocalRange(t0, t0 + 2000.0, 1.0f); // 2 seconds per pixel
    ASSERT_DOUBLE_EQ(time->getZoom(), 2.0);
    double before = 0, after = 0;
    tlObj o;
    o.getImpulseBeforeAfter(t0 + 500.0, before, after);
    EXPECT_NEAR(before, t0 + 470.0, 1e-6);
    EXPECT_NEAR(after, t0 + 530.0, 1e-6);
}

TEST(tlObj, TheRowZoomIsTheTimelinePerpendicularScales)
{
    TimelineTestDoc doc;
    tlObj o;
    EXPECT_EQ(o.getSceneYScale(), doc.cmp.getCmpTimeline()->perpScale()->getZoom());
}

TEST(tlObj, AStepTestsItsOwnRuleInEveryDocument)
{
    // Two documents whose engines number the steps apart: one with the document's selection
    // engine, one without. A step's number from the first must not be used in the second.
    ScopedTraces traces(true);
    for (int round = 0; round < 2; ++round) {
        {
            TimelineTestDoc doc;
            doc.dirt.setDirty(tlObj::DirtLayout, true);
            testing::internal::CaptureStdout();
            doc.pass();
            std::string const out = testing::internal::GetCapturedStdout();
            EXPECT_THAT(out, HasSubstr("cleaning mTimeline_reconfigTimeScale"));
            EXPECT_THAT(out, Not(HasSubstr("cleaning mTimeline_clearEventsFromSelection")));
        }
        {
            tlCmp cmp(nullptr, nullptr, nullptr, nullptr, nullptr);
            cmp.getCmpDirtEngine()->setDirty(tlObj::DirtTimeSelectionChanged, true);
            testing::internal::CaptureStdout();
            cmp.getCmpRefreshEngine()->doRefreshIfNeeded(nullptr);
            std::string const out = testing::internal::GetCapturedStdout();
            EXPECT_THAT(out, HasSubstr("cleaning mTimeline_clearEventsFromSelection"));
            EXPECT_THAT(out, Not(HasSubstr("cleaning mTimeline_reconfigTimeScale")));
        }
    }
}
