#include "TimelineTestDoc.h"

#include <gtest/gtest.h>

TEST(mRecords, RefusesEveryDamagedValueWithAMessageNamingIt)
{
    expectEveryDamagedDocumentRefused(VANTREL_TEST_DATA_DIR "/damaged");
}
