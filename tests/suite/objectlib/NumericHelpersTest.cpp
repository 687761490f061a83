#include "suite/objectlib/NumericHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include <unistd.h>

#include "common/ComError.h"

using namespace corvana;

TEST(DecimalExponent, IsTheExponentOfTheLeadingDigit) {
  EXPECT_EQ(DecimalExponent(347), 2);
  EXPECT_EQ(DecimalExponent(7), 0);
  EXPECT_EQ(DecimalExponent(999.999), 2);
  EXPECT_EQ(DecimalExponent(0.05), -2);
  EXPECT_EQ(DecimalExponent(-1234), 3);
  EXPECT_EQ(DecimalExponent(1e-300), -300);
  // Exact powers of ten, where log10 alone can land on the wrong side.
  for (int e = -20; e <= 22; ++e) {
    char text[32];
    std::snprintf(text, sizeof text, "1e%d", e);
    EXPECT_EQ(DecimalExponent(std::strtod(text, nullptr)), e) << text;
    EXPECT_EQ(DecimalExponent(std::nextafter(std::strtod(text, nullptr), 0.0)), e - 1) << text;
  }
}

TEST(DecimalExponent, RejectsZeroAndNonFiniteValues) {
  for (double bad : {0.0, double(INFINITY), double(NAN)}) {
    try {
      DecimalExponent(bad);
      ADD_FAILURE() << bad;
    } catch (const ComError& e) {
      EXPECT_EQ(e.Code(), kErrInvalidArgument);
    }
  }
}

TEST(RangeCheck, AcceptsBothBoundsAndNamesTheArgument) {
  EXPECT_TRUE(IsInRange(0.01, 0.01, 1));
  EXPECT_TRUE(IsInRange(1, 0.01, 1));
  EXPECT_FALSE(IsInRange(std::nextafter(0.01, 0.0), 0.01, 1));
  EXPECT_FALSE(IsInRange(1.5, 0.01, 1));
  EXPECT_FALSE(IsInRange(NAN, 0.01, 1));
  EXPECT_NO_THROW(CheckRange(1, 0.01, 1, "ShowDialog", "p_NewRate"));
  try {
    CheckRange(0, 0.01, 1, "ShowDialog", "p_NewRate");
    FAIL();
  } catch (const ComError& e) {
    EXPECT_EQ(e.Code(), 0x80040014u);
    EXPECT_EQ(e.Source(), "ShowDialog");
    EXPECT_NE(e.Description().find("p_NewRate"), std::string::npos);
  }
}

TEST(FileExists, IsTrueOnlyForFiles) {
  const auto dir = std::filesystem::temp_directory_path() / ("corvana-fe-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "a.txt";
  std::FILE* f = std::fopen(file.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(dir));
  EXPECT_FALSE(FileExists(dir / "missing.txt"));
  EXPECT_FALSE(FileExists(""));
  std::filesystem::remove_all(dir);
}
