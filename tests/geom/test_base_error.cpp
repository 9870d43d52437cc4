// Error reporting and the message facility.
#include "geom/geom.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(GeomError, SendDropsTextWithoutFacilityAndPrintsWithOne)
{
    geomMessageSend(nullptr, "1,10001,590");  // nothing to call, nothing to crash

    GeomMessageFacility* f = geomMessageFacilityCreate();
    ASSERT_NE(nullptr, f);
    testing::internal::CaptureStdout();
    geomMessageSend(f, nullptr);
    geomMessageSend(f, "1,10001,564");
    EXPECT_EQ("1,10001,564\n", testing::internal::GetCapturedStdout());
    geomMessageFacilityFree(f);
    geomMessageFacilityFree(nullptr);
}

TEST(GeomError, OnlyAllocationAndArgumentKindsAreRemembered)
{
    geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, 2518);
    EXPECT_EQ(2, geomLastError);
    EXPECT_STREQ("2,10001,2518", geomMessageBuffer);

    geomReportError(GEOM_ERR_DIVISOR, GEOM_FILE_CURVE, 11080);
    EXPECT_EQ(2, geomLastError);
    EXPECT_STREQ("5,10001,11080", geomMessageBuffer);

    geomReportTolerance(GEOM_FILE_LINEARIZER, 1042, 0.01, 0.5);
    EXPECT_EQ(2, geomLastError);
    EXPECT_STREQ("4,10003,1042,0.010000,0.500000", geomMessageBuffer);

    geomReportError(GEOM_ERR_ALLOC, GEOM_FILE_SURFACE, 1);
    EXPECT_EQ(1, geomLastError);
}

TEST(GeomError, EnormousToleranceValuesStayInsideTheBuffer)
{
    // "%lf" of 1e300 alone needs more than 300 characters; the guard bytes
    // after the buffer are not part of it but show an overrun under the
    // sanitizers as well as here.
    geomReportTolerance(GEOM_FILE_LINEARIZER, 1635, 1e300, -1e300);
    const size_t len = std::strlen(geomMessageBuffer);
    EXPECT_LT(len, static_cast<size_t>(GEOM_MESSAGE_BUFFER_SIZE));
    EXPECT_EQ(0, std::string(geomMessageBuffer).rfind("4,10003,1635,1000000", 0));
}
