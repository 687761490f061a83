#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "watcher/common/ClassicFormat.h"
#include "watcher/graph/OGrNumberFormat.h"

using corvana::ClassicFormat;
using corvana::OGrNumberFormat;

namespace {
std::string F(double value, const char* pattern) {
  return OGrNumberFormat::Format(value, pattern);
}
}  // namespace

TEST(NumberFormat, PatternsASpreadsheetUserTypes) {
  EXPECT_EQ(F(1234.5678, "0"), "1235");
  EXPECT_EQ(F(-0.4, "0"), "0");  // rounds to zero: no minus sign
  EXPECT_EQ(F(1234.5678, "0.00"), "1234.57");
  EXPECT_EQ(F(0.005, "0.00"), "0.01");
  EXPECT_EQ(F(1234567.891, "#,##0"), "1,234,568");
  EXPECT_EQ(F(-1234567, "#,##0.00"), "-1,234,567.00");
  EXPECT_EQ(F(999, "#,##0"), "999");
  EXPECT_EQ(F(0.1234, "0.0%"), "12.3%");
  EXPECT_EQ(F(1, "0%"), "100%");
  EXPECT_EQ(F(12345.678, "0.00E+00"), "1.23E+04");
  EXPECT_EQ(F(0.000123, "0.00E+00"), "1.23E-04");
  EXPECT_EQ(F(9.999, "0.00E+00"), "1.00E+01");
  EXPECT_EQ(F(0, "0.00E+00"), "0.00E+00");
  EXPECT_EQ(F(0.5, "#.00"), ".50");
  EXPECT_EQ(F(1.5, "0.0#"), "1.5");
  EXPECT_EQ(F(1.555, "0.0#"), "1.56");
  EXPECT_EQ(F(5, "\"$\"0.00"), "$5.00");
  EXPECT_EQ(F(-5, "0.00;(0.00)"), "(5.00)");
  EXPECT_EQ(F(0, "0;-0;\"zero\""), "zero");
  EXPECT_EQ(F(5, "#"), "5");  // an optional digit is still a digit
  EXPECT_EQ(F(0, "#"), "");
  EXPECT_EQ(F(-7, "\"n/a\""), "-n/a");
  EXPECT_EQ(F(1234.5, "_(#,##0.0_)"), " 1,234.5 ");
}

TEST(NumberFormat, General) {
  EXPECT_EQ(F(12, "General"), "12");
  EXPECT_EQ(F(0.1 + 0.2, "General"), "0.3");
  EXPECT_EQ(F(1234567.125, "general"), "1234567.125");
  EXPECT_EQ(F(1.5e20, "General"), "1.5E+20");
  EXPECT_EQ(F(-2.5e-12, "General"), "-2.5E-12");
  EXPECT_EQ(F(1e20, "General"), "1E+20");
  EXPECT_EQ(F(0.00001, "General"), "0.00001");  // fixed notation down to 1E-09
  EXPECT_EQ(F(std::nan(""), "0.00"), "#NUM!");
  EXPECT_EQ(F(std::numeric_limits<double>::infinity(), "General"), "#NUM!");
}

TEST(NumberFormat, Dates) {
  EXPECT_EQ(F(45000, "m/d/yyyy"), "3/15/2023");
  EXPECT_EQ(F(1, "m/d/yyyy"), "12/31/1899");
  EXPECT_EQ(F(45000.75, "hh:mm:ss"), "18:00:00");
  EXPECT_EQ(F(45000.5 + 90.0 / 86400, "h:mm AM/PM"), "12:01 PM");
  EXPECT_EQ(F(45000, "d mmm yyyy"), "15 Mar 2023");
  EXPECT_EQ(F(45000, "dddd"), "Wednesday");
  EXPECT_EQ(F(1e12, "m/d/yyyy"), "#####");
  EXPECT_EQ(F(std::nan(""), "m/d/yyyy"), "#####");
  // The pattern's colon is text, whatever the classic time separator is set to.
  ClassicFormat::SetTimeSeparator(".");
  EXPECT_EQ(F(45000.75, "hh:mm"), "18:00");
  ClassicFormat::SetTimeSeparator(":");
  EXPECT_TRUE(OGrNumberFormat("m/d/yyyy").IsDate());
  EXPECT_FALSE(OGrNumberFormat("0.00").IsDate());
}

TEST(NumberFormat, MalformedPatternsFallBackToGeneral) {
  for (const char* bad : {"0.00E+", "\"unterminated", "[Red", "0.0.0", "0.00;0;0;0;0", "zz0"}) {
    OGrNumberFormat format(bad);
    EXPECT_FALSE(format.Valid()) << bad;
    EXPECT_EQ(format.Format(1.5), "1.5") << bad;
  }
  EXPECT_TRUE(OGrNumberFormat("").Valid());
  EXPECT_EQ(F(3, ""), "3");
}
