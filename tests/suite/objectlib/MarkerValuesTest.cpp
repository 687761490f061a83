#include "suite/objectlib/MarkerValues.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

using namespace corvana;

TEST(SpecialValues, EngineSentinelHasTheBitsTheEngineWrites) {
  // The engine writes the bit pattern, not the decimal text: a runtime copy must compare equal.
  const std::uint64_t bits = 0xFE37EA5A49AC7DEBull;
  double fromBits;
  std::memcpy(&fromBits, &bits, sizeof fromBits);
  EXPECT_TRUE(IsEngineNoValue(fromBits));
  EXPECT_EQ(fromBits, -1.001e300);
  EXPECT_FALSE(IsEngineNoValue(std::nextafter(fromBits, 0.0)));
}

TEST(SpecialValues, BoundsAreInclusiveAndOnlyExactMarkersMatch) {
  EXPECT_TRUE(IsTooLarge(kLargestValue));
  EXPECT_FALSE(IsTooLarge(std::nextafter(kLargestValue, 0.0)));
  EXPECT_TRUE(IsTooSmall(kSmallestValue));
  EXPECT_FALSE(IsTooSmall(std::nextafter(kSmallestValue, 0.0)));
  EXPECT_TRUE(IsMissingValue(kMissingValue));
  EXPECT_FALSE(IsMissingValue(std::nextafter(kMissingValue, 0.0)));

  EXPECT_TRUE(IsSpecialValue(kMissingValue));
  EXPECT_TRUE(IsSpecialValue(kEngineNoValue));
  EXPECT_TRUE(IsSpecialValue(INFINITY));
  EXPECT_TRUE(IsSpecialValue(-INFINITY));
  for (double ordinary : {0.0, -1.0, 1e299, -1e299, 12345.678})
    EXPECT_FALSE(IsSpecialValue(ordinary)) << ordinary;
}
