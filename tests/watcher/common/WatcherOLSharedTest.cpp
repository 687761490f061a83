#include "watcher/common/WatcherOLShared.h"

#include <gtest/gtest.h>

#include <cmath>

#include "EnglishResources.h"
#include "common/ComError.h"
#include "suite/objectlib/MarkerValues.h"
#include "tests/support/ThrowsComError.h"

using namespace corvana;
using namespace corvana::WatcherOLShared;

namespace {

std::string Default(double v) {
  return FormatNumberDefault(v).ToString();
}

}  // namespace

using WatcherOLSharedTest = EnglishResources;

TEST_F(WatcherOLSharedTest, CommonStringOutsideTheListIsAnError) {
  for (long bad : {-1L, 18L})
    EXPECT_THAT([bad] { GetCommonString(bad); },
                test::ThrowsComError(0x80040014u, "GetCommonString", testing::HasSubstr("whichString")))
        << bad;
}

TEST_F(WatcherOLSharedTest, DefaultNumberTextFollowsItsThresholds) {
  EXPECT_EQ(Default(0), "0");
  EXPECT_EQ(Default(12), "12");
  EXPECT_EQ(Default(12.5), "12.5000");
  EXPECT_EQ(Default(12345678), "1.2346E+007");
  EXPECT_EQ(Default(0.00005), "5.0000E-005");
  EXPECT_EQ(Default(9999999.5), "9999999.5000");
  EXPECT_EQ(Default(9999999), "9999999");
  EXPECT_EQ(Default(1e7), "1.0000E+007");
  EXPECT_EQ(Default(0.0001), "0.0001");
  EXPECT_EQ(Default(0.00009999), "9.9990E-005");
  EXPECT_EQ(Default(-3), "-3");
  EXPECT_EQ(Default(-2.5), "-2.5000");
  EXPECT_EQ(Default(-1e7), "-1.0000E+007");
  EXPECT_EQ(Default(-0.00005), "-5.0000E-005");
  EXPECT_EQ(FormatNumberDefault(12).KindCode(), 8);
}

TEST_F(WatcherOLSharedTest, SpecialValuesBecomeCommonTexts) {
  EXPECT_EQ(Default(kMissingValue), GetCommonString(1));
  EXPECT_EQ(Default(kEngineNoValue), GetCommonString(1));
  EXPECT_EQ(Default(NAN), GetCommonString(1));
  EXPECT_EQ(Default(kLargestValue), GetCommonString(13));
  EXPECT_EQ(Default(INFINITY), GetCommonString(13));
  EXPECT_EQ(Default(kSmallestValue), GetCommonString(14));
  EXPECT_EQ(Default(std::nextafter(kLargestValue, 0.0)), "1.0000E+300");
}

TEST_F(WatcherOLSharedTest, DateTextsForDatesNumbersAndEverythingElse) {
  EXPECT_EQ(FormatDateValue(OleDate{45000.75}, true), "3/15/2023 6:00 PM");
  EXPECT_EQ(FormatDateValue(OleDate{45000.75}, false), "3/15/2023");
  EXPECT_EQ(FormatDateValue(45000.0, false), "3/15/2023");
  EXPECT_EQ(FormatDateValue("45000", false), "3/15/2023");
  EXPECT_EQ(FormatDateValue(-1.25, true), "12/29/1899 6:00 AM");
  EXPECT_EQ(FormatDateValue("soon", false), GetCommonString(1));
  EXPECT_EQ(FormatDateValue(ErrorValue{2042}, false), GetCommonString(1));
  EXPECT_EQ(FormatDateValue(kLargestValue, false), GetCommonString(13));
  EXPECT_EQ(FormatDateValue(kEngineNoValue, false), GetCommonString(1));
  EXPECT_EQ(FormatDateValue(1e10, false), GetCommonString(1));  // beyond the last date
}

TEST_F(WatcherOLSharedTest, StatisticValues) {
  // A probability is a percentage whatever the date treatment says.
  EXPECT_EQ(FormatValueForStatistic(0.25, true, false, true, 11), "25.0%");
  EXPECT_EQ(FormatValueForStatistic(0.25, false, false, true, 11), "25.0%");
  // A spread of dates is a count of days, rounded half to even.
  EXPECT_EQ(FormatValueForStatistic(2.5, true, false, true, 2), Text(5100, 2.0));
  EXPECT_EQ(FormatValueForStatistic(3.5, true, false, true, 2), Text(5100, 4.0));
  EXPECT_EQ(FormatValueForStatistic(OleDate{45000.75}, true, true, true, 2), "45001 days");
  // Statistics not in the variable's units are plain numbers even for dates.
  EXPECT_EQ(FormatValueForStatistic(45000.5, true, false, true, 4), "45000.5000");
  EXPECT_EQ(FormatValueForStatistic(45000.5, true, true, true, 1), "3/15/2023 12:00 PM");
  EXPECT_EQ(FormatValueForStatistic(45000.5, true, false, false, 2), "3/15/2023");
  EXPECT_EQ(FormatValueForStatistic(12.5, false, false, true, 2), "12.5000");
  EXPECT_EQ(FormatValueForStatistic(kSmallestValue, true, false, true, 11), GetCommonString(14));
  EXPECT_EQ(FormatValueForStatistic("abc", false, false, false, 12), GetCommonString(1));
  EXPECT_EQ(FormatValueForStatistic(ErrorValue{7}, false, false, false, 12), GetCommonString(1));
}

TEST(WatcherOLShared, StatisticUnits) {
  for (long s : {1, 2, 6, 7, 8, 9, 10, 12}) EXPECT_TRUE(StatisticIsInTheSameUnitsAsRandomVariable(s)) << s;
  for (long s : {3, 4, 5, 11}) EXPECT_FALSE(StatisticIsInTheSameUnitsAsRandomVariable(s)) << s;
  for (long s : {0, 13, -1})
    EXPECT_THAT([s] { StatisticIsInTheSameUnitsAsRandomVariable(s); },
                test::ThrowsComError(kErrInvalidArgument, "StatisticIsInTheSameUnitsAsRandomVariable",
                                     testing::HasSubstr("p_Statistic")))
        << s;
}

TEST(WatcherOLShared, IsDateOrNumeric) {
  EXPECT_TRUE(IsDateOrNumeric(OleDate{1}));
  EXPECT_TRUE(IsDateOrNumeric(1.5));
  EXPECT_TRUE(IsDateOrNumeric("2"));
  EXPECT_FALSE(IsDateOrNumeric("two"));
  EXPECT_FALSE(IsDateOrNumeric(ErrorValue{1}));
}

TEST(WatcherOLShared, OptimizationUnderWayIsReadFromChannel21) {
  long asked = 0;
  SetChannelReader([&](long channel) {
    asked = channel;
    return 3.0;
  });
  EXPECT_EQ(GetEFNumOptimizationUnderWay(), 3.0);
  EXPECT_EQ(asked, 21);
  SetChannelReader([](long) -> double { throw ComError(kErrApplication, "GdReadTempData", "broken"); });
  EXPECT_EQ(GetEFNumOptimizationUnderWay(), 0.0);
  SetChannelReader(nullptr);
  EXPECT_EQ(GetEFNumOptimizationUnderWay(), 0.0);
}
