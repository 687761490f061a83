#pragma once

#include <array>
#include <filesystem>

#include "addin/workbook/WorkbookWriter.h"

namespace corvana::addin {

// A job of the scheduling example: its number, how long it takes on the machine, when it is due
// and what each day (time unit) of lateness costs.
struct ScheduleJob {
  int Number;
  double ProcessingTime, Due, Weight;
};

inline constexpr std::array<ScheduleJob, 10> kScheduleJobs = {{{1, 6, 20, 2},
                                                               {2, 4, 12, 3},
                                                               {3, 8, 40, 1},
                                                               {4, 3, 9, 4},
                                                               {5, 7, 30, 2},
                                                               {6, 5, 18, 3},
                                                               {7, 9, 45, 1},
                                                               {8, 2, 6, 5},
                                                               {9, 6, 25, 2},
                                                               {10, 4, 35, 3}}};

// The example workbooks: the built-in models written as a spreadsheet user would write them.
class ExampleWorkbooks {
 public:
  static void WriteSpring(WorkbookWriter& writer, const std::filesystem::path& path);
  static void WritePortfolio(WorkbookWriter& writer, const std::filesystem::path& path);
  // Ten jobs on one machine (kScheduleJobs), in the order that costs the least total weighted
  // tardiness; the order method.
  static void WriteSchedule(WorkbookWriter& writer, const std::filesystem::path& path);
};

}  // namespace corvana::addin
