#include "TimelineTestDoc.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using testing::HasSubstr;

TEST(mRecords, RefusesEveryDamagedValueWithAMessageNamingIt)
{
    auto const docs = damagedDocuments(VANTREL_TEST_DATA_DIR "/damaged");
    ASSERT_FALSE(docs.empty());
    for (auto const& [path, expect] : docs) {
        SCOPED_TRACE(path);
        ASSERT_FALSE(expect.empty()) << "no expected complaint in the file";
        TimelineTestDoc d;
        std::string message;
        EXPECT_FALSE(loadTimelineDoc(d.cmp, path, &message));
        EXPECT_THAT(message, HasSubstr(expect));
    }
}
