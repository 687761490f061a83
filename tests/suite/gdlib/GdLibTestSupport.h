#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "suite/gdlib/gdlib8.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitUntil.h"

namespace gdtest {

// Runs `body` in a forked child that exits with its result; returns the child's pid.
pid_t Fork(const std::function<int()>& body);
// Waits for a child; its exit code, or 128 + signal.
int Wait(pid_t pid);
using corvana::test::WaitUntil;

std::int32_t ReadInt(std::int16_t channel);
void WriteInt(std::int16_t channel, std::int32_t value);

// Sum of (gene - 1)^2: least where every gene is 1.
double Sphere(const std::vector<double>& genes);
// The ranking a consistent population keeps: organisms with results on top, each no worse
// (minimizing) than the one below it.
void ExpectRanked(std::int32_t pop);

// A recipe population of `genes` genes in [-5, 5].
std::int32_t CreateRecipePopulation(std::int32_t genes, std::int32_t size,
                                    std::int32_t goal = GdGoalMinimize);

// A trial log with `genes` genes and two constraints (one hard, one soft).
struct LogFixture {
  std::string Path;
  std::int32_t Handle = 0;
  std::int32_t Genes = 0;
  std::int32_t Constraints = 2;
};
LogFixture CreateLog(const std::string& path, std::int32_t genes, bool series = false);
// Appends a record whose figures derive from `trial` (genes trial+i, objective trial*10, ...).
void AppendRecord(const LogFixture& log, std::int32_t kind, std::int32_t trial,
                  std::int32_t constrainingValueIndex = 1);

// True while /dev/shm holds the segment of population `handle`.
bool SegmentExists(std::int32_t handle);

}  // namespace gdtest
