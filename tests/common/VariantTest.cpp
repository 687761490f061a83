#include <gtest/gtest.h>

#include <limits>

#include "common/Collection.h"
#include "common/ComError.h"
#include "common/ErrorTrap.h"
#include "common/Variant.h"

using namespace corvana;

TEST(Variant, KindCodesAreTheOnesThePrintedMessagesUse) {
  EXPECT_EQ(Variant().KindCode(), 0);
  EXPECT_EQ(Variant(std::int16_t{1}).KindCode(), 2);
  EXPECT_EQ(Variant(std::int32_t{1}).KindCode(), 3);
  EXPECT_EQ(Variant(1.5).KindCode(), 5);
  EXPECT_EQ(Variant(OleDate{45000}).KindCode(), 7);
  EXPECT_EQ(Variant("x").KindCode(), 8);
  EXPECT_EQ(Variant(ErrorValue{2042}).KindCode(), 10);
  EXPECT_EQ(Variant(true).KindCode(), 11);
}

TEST(Variant, ConversionsFollowTheClassicRules) {
  EXPECT_EQ(Variant(true).ToDouble(), -1.0);
  EXPECT_EQ(Variant(2.5).ToLong(), 2);  // half to even
  EXPECT_EQ(Variant(3.5).ToLong(), 4);
  EXPECT_EQ(Variant("12.5").ToDouble(), 12.5);
  EXPECT_TRUE(Variant("1E+3").IsNumeric());
  EXPECT_FALSE(Variant("0x10").IsNumeric());
  EXPECT_FALSE(Variant("abc").IsNumeric());
  EXPECT_FALSE(Variant(ErrorValue{7}).IsNumeric());
  EXPECT_THROW(Variant("abc").ToDouble(), ComError);
  EXPECT_THROW(Variant(1e10).ToLong(), ComError);
  EXPECT_THROW(Variant(40000.0).ToInteger(), ComError);
  EXPECT_EQ(Variant(true).ToString(), "True");
}

TEST(Variant, DoubleToTextKeepsFifteenDigitsAndTheClassicExponent) {
  EXPECT_EQ(DoubleToText(0.0), "0");
  EXPECT_EQ(DoubleToText(-0.0), "0");
  EXPECT_EQ(DoubleToText(12.5), "12.5");
  EXPECT_EQ(DoubleToText(-3), "-3");
  EXPECT_EQ(DoubleToText(0.1 + 0.2), "0.3");
  EXPECT_EQ(DoubleToText(1e20), "1E+20");
  EXPECT_EQ(DoubleToText(1.5e-7), "1.5E-07");
  EXPECT_EQ(DoubleToText(123456789012345.0), "123456789012345");
  EXPECT_EQ(DoubleToText(std::numeric_limits<double>::quiet_NaN()), "NaN");
}

TEST(Collection, IsOneBasedAndRefusesOutOfRangeIndexes) {
  Collection c;
  c.Add("a");
  c.Add(2.0);
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(c.Item(1).ToString(), "a");
  EXPECT_EQ(c.Item(2).ToDouble(), 2.0);
  try {
    c.Item(0);
    FAIL();
  } catch (const ComError& e) {
    EXPECT_EQ(e.Code(), kErrSubscriptOutOfRange);
  }
  EXPECT_THROW(c.Item(3), ComError);
  c.Remove(1);
  EXPECT_EQ(c.Item(1).ToDouble(), 2.0);
}

TEST(ErrorTrap, ResumeNextRecordsTheErrorAndTheCallerGoesOn) {
  ErrorInfo err;
  int steps = 0;
  EXPECT_FALSE(ResumeNext(err, [&] { RaiseError(kErrApplication, "Proc", "Went wrong."); }));
  EXPECT_TRUE(ResumeNext(err, [&] { ++steps; }));
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(err.Number, kErrApplication);
  EXPECT_EQ(err.Source, "Proc");
  EXPECT_EQ(err.Description, "Went wrong.");
  EXPECT_FALSE(ResumeNext(err, [] { throw std::runtime_error("plain"); }));
  EXPECT_EQ(err.Description, "plain");
  EXPECT_EQ(ComError::CodeText(kErrApplication), "0x8004000A");
}
