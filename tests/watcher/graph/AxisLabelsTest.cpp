#include <gtest/gtest.h>

#include <set>

#include "watcher/graph/OGrAxisLabels.h"

using namespace corvana;

namespace {

void ExpectReadable(const OGrAxisLabels& labels, std::size_t fewest) {
  EXPECT_GE(labels.Texts.size(), fewest);
  EXPECT_EQ(labels.Texts.size(), labels.Scale.Ticks.size());
  EXPECT_EQ(std::set<std::string>(labels.Texts.begin(), labels.Texts.end()).size(), labels.Texts.size());
}

}  // namespace

TEST(AxisLabels, FormatCoarserThanTheRangeGetsMoreDecimalsNotRepeats) {
  OGrAxis axis;
  axis.SetNumberFormat("0.00%");
  // Every value of this range reads "4.94%" in the axis's own format.
  const OGrAxisLabels labels = OGrAxisLabels::Compute(axis, 0.04938, 0.04941, 6, true);
  ExpectReadable(labels, 3);
  EXPECT_NE(labels.Pattern, "0.00%");

  axis.SetNumberFormat("#,##0");
  ExpectReadable(OGrAxisLabels::Compute(axis, 10.1, 10.4, 5, true), 3);
  axis.SetNumberFormat("0.00E+00");
  ExpectReadable(OGrAxisLabels::Compute(axis, 1.2341e9, 1.2342e9, 5, true), 3);
  // A format that already tells the ticks apart is kept as it is.
  axis.SetNumberFormat("0");
  const OGrAxisLabels plain = OGrAxisLabels::Compute(axis, 0, 400, 5, false);
  ExpectReadable(plain, 3);
  EXPECT_EQ(plain.Pattern, "0");
  // Room for one tick only: never more than fit, never a repeat.
  ExpectReadable(OGrAxisLabels::Compute(axis, 0.5, 0.6, 1, true), 1);
}

TEST(AxisLabels, MoreDecimalsLeavesTextExponentsAndDatesAlone) {
  EXPECT_EQ(OGrAxisLabels::WithMoreDecimals("0.00%", 1), "0.000%");
  EXPECT_EQ(OGrAxisLabels::WithMoreDecimals("#,##0", 2), "#,##0.00");
  EXPECT_EQ(OGrAxisLabels::WithMoreDecimals("0.0E+00", 1), "0.00E+00");
  EXPECT_EQ(OGrAxisLabels::WithMoreDecimals("\"0.5 \"0;-0", 1), "\"0.5 \"0.0;-0.0");
  EXPECT_EQ(OGrAxisLabels::WithMoreDecimals("General", 2), "General");
  EXPECT_EQ(OGrAxisLabels::WithMoreDecimals("m/d/yyyy", 2), "m/d/yyyy");
}
