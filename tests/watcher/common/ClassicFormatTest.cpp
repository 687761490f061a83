#include "watcher/common/ClassicFormat.h"

#include <gtest/gtest.h>

#include "common/ComError.h"

using namespace corvana;

TEST(ClassicFormatNumber, RoundsHalfAwayFromZeroOnTheDecimalValue) {
  EXPECT_EQ(ClassicFormat::Number(2.5, "0"), "3");
  EXPECT_EQ(ClassicFormat::Number(-2.5, "0"), "-3");
  EXPECT_EQ(ClassicFormat::Number(0.125, "0.00"), "0.13");
  EXPECT_EQ(ClassicFormat::Number(1.005, "0.00"), "1.01");  // 1.00499999... in binary
  EXPECT_EQ(ClassicFormat::Number(9.99995, "0.0000"), "10.0000");
  EXPECT_EQ(ClassicFormat::Number(12.5, "0.0000"), "12.5000");
  EXPECT_EQ(ClassicFormat::Number(-0.00001, "0.00"), "0.00");
  EXPECT_EQ(ClassicFormat::Number(5, "00"), "05");
  EXPECT_EQ(ClassicFormat::Number(123, "00"), "123");
  EXPECT_EQ(ClassicFormat::Number(0.5, "#.##"), ".5");
  EXPECT_EQ(ClassicFormat::Number(1234567.891, "#,##0.00"), "1,234,567.89");
}

TEST(ClassicFormatNumber, ScientificHasFourDecimalsAndASignedThreeDigitExponent) {
  EXPECT_EQ(ClassicFormat::Number(12345678, "0.0000E+000"), "1.2346E+007");
  EXPECT_EQ(ClassicFormat::Number(0.00005, "0.0000E+000"), "5.0000E-005");
  EXPECT_EQ(ClassicFormat::Number(-0.00009999, "0.0000E+000"), "-9.9990E-005");
  EXPECT_EQ(ClassicFormat::Number(99999.5e3, "0.0000E+000"), "1.0000E+008");  // the carry moves the exponent
  EXPECT_EQ(ClassicFormat::Number(1.5e300, "0.0000E+000"), "1.5000E+300");
  EXPECT_EQ(ClassicFormat::Number(0, "0.0000E+000"), "0.0000E+000");
  EXPECT_EQ(ClassicFormat::Number(1234, "0.00E-00"), "1.23E03");
}

TEST(ClassicFormatNumber, PercentMultipliesByHundred) {
  EXPECT_EQ(ClassicFormat::Number(0.25, "0.0%"), "25.0%");
  EXPECT_EQ(ClassicFormat::Number(1, "0.0%"), "100.0%");
  EXPECT_EQ(ClassicFormat::Number(-0.0125, "0.0%"), "-1.3%");
}

TEST(ClassicFormatDate, OleDatesCountFromThe30thOfDecember1899) {
  EXPECT_EQ(ClassicFormat::Date(0, "m/d/yyyy"), "12/30/1899");
  EXPECT_EQ(ClassicFormat::Date(45000, "m/d/yyyy"), "3/15/2023");
  EXPECT_EQ(ClassicFormat::Date(45000.75, "m/d/yyyy h:mm AM/PM"), "3/15/2023 6:00 PM");
  EXPECT_EQ(ClassicFormat::Date(45000, "m/d/yyyy h:mm AM/PM"), "3/15/2023 12:00 AM");
  EXPECT_EQ(ClassicFormat::Date(45000.5, "m/d/yyyy h:mm am/pm"), "3/15/2023 12:00 pm");
  EXPECT_EQ(ClassicFormat::Date(60, "mm/dd/yy"), "02/28/00");
  EXPECT_EQ(ClassicFormat::Date(61, "dddd d mmmm yyyy"), "Thursday 1 March 1900");
  // Before day 0 the day counts back and the time of day stays positive.
  EXPECT_EQ(ClassicFormat::Date(-1.25, "m/d/yyyy h:mm AM/PM"), "12/29/1899 6:00 AM");
  EXPECT_EQ(ClassicFormat::Date(-0.5, "m/d/yyyy hh:mm"), "12/30/1899 12:00");
}

TEST(ClassicFormatDate, TimeOfDayRoundsToTheSecondAndUsesTheTimeSeparator) {
  EXPECT_EQ(ClassicFormat::Date(0.5, "hh:mm:ss"), "12:00:00");
  EXPECT_EQ(ClassicFormat::Date(3723.0 / 86400, "hh:mm:ss"), "01:02:03");
  EXPECT_EQ(ClassicFormat::Date(86399.6 / 86400, "hh:mm:ss"), "00:00:00");  // rounds into the next day
  EXPECT_EQ(ClassicFormat::Date(1 + 86399.6 / 86400, "m/d/yyyy"), "1/1/1900");
  ClassicFormat::SetTimeSeparator(".");
  EXPECT_EQ(ClassicFormat::Date(3723.0 / 86400, "hh:mm:ss"), "01.02.03");
  EXPECT_EQ(ClassicFormat::Date(45000, "m/d/yyyy"), "3/15/2023");
  ClassicFormat::SetTimeSeparator(":");
}

TEST(ClassicFormatDate, OutsideTheDateRangeIsAnOverflow) {
  EXPECT_THROW(ClassicFormat::Date(1e10, "m/d/yyyy"), ComError);
  EXPECT_THROW(ClassicFormat::Date(-700000, "m/d/yyyy"), ComError);
  EXPECT_EQ(ClassicFormat::Date(2958465.5, "m/d/yyyy"), "12/31/9999");
}

TEST(ClassicFormat, ApplyChoosesByThePatternsKind) {
  EXPECT_EQ(ClassicFormat::Apply(45000, "m/d/yyyy"), "3/15/2023");
  EXPECT_EQ(ClassicFormat::Apply(0, ":"), ":");
  EXPECT_EQ(ClassicFormat::Apply(12.5, "0.0000"), "12.5000");
}
