// Feeds arbitrary bytes to the trial-log reader as a log file: every call must answer with a
// code, never crash or read past a buffer. Half the inputs get a valid header first, so the
// record scanner is reached as well as the header checks.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "suite/gdlib/gdlib8.h"

namespace {

std::string Directory() {
  static std::string dir = [] {
    std::string pattern =
        std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/logfuzz.XXXXXX";
    return std::string(::mkdtemp(pattern.data()));
  }();
  return dir;
}

void Exercise(const std::string& path) {
  std::int32_t trials = 0, steps = 0, chromosomes = 0, genes = 0, constraints = 0, series = 0;
  GdLogGetRecordCountsWVB(path.c_str(), &trials, &steps);
  GdLogGetCountsWVB(path.c_str(), &chromosomes, &genes, &constraints, &series);
  for (std::int32_t index = 0; index <= 3; ++index)
    GdLogGetRecordCounts2WVB(path.c_str(), &trials, index, &steps);
  char name[300];
  std::int32_t hard = 0, hasValue = 0;
  for (std::int32_t i = 0; i <= std::min(constraints, 4) + 1; ++i)
    GdLogGetConstraintInfoWVB(path.c_str(), i, name, sizeof name, &hard, &hasValue);
  std::vector<double> g(static_cast<std::size_t>(std::clamp(genes, 0, 4096)));
  std::vector<double> c(static_cast<std::size_t>(std::clamp(constraints, 0, 4096)));
  GdLogRecordInfo info;
  std::int32_t elapsed = 0, trial = 0;
  double without = 0, with = 0;
  for (std::int32_t selector = 0; selector <= 2; ++selector)
    for (std::int32_t n : {0, 1, 2, trials, trials + 1, steps})
      GdLogReadRecordWVB(path.c_str(), n, selector, &elapsed, &without, &with, &trial, c.data(), c.data(),
                         c.data(), static_cast<std::int32_t>(c.size()), g.data(),
                         static_cast<std::int32_t>(g.size()), &info);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static unsigned counter = 0;
  // Every input gets a path of its own: a log path is never reused.
  const std::string path = Directory() + "/" + std::to_string(counter++) + ".log";
  if (size > 0 && data[0] & 1) {
    std::int32_t handle = 0;
    const char* names[] = {"a", "bb"};
    std::int32_t hard[] = {0, 1}, hasValue[] = {1, 0};
    std::int32_t genes = size > 1 ? data[1] % 8 : 1;
    GdLogCreate(path.c_str(), 1, genes, 2, names, hard, hasValue, data[0] & 2, &handle);
    GdLogClose(handle);
    if (std::FILE* f = std::fopen(path.c_str(), "ab")) {
      std::fwrite(data, 1, size, f);
      std::fclose(f);
    }
  } else if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  Exercise(path);
  std::remove(path.c_str());
  return 0;
}
