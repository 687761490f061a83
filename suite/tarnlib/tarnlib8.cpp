#include "suite/tarnlib/tarnlib8.h"

#include <atomic>

namespace {
constexpr int32_t kVersion = 8;
std::atomic<int32_t> g_Initializations{0};
}  // namespace

extern "C" int32_t TarnlibInitLibraryVB(int32_t* version1, int32_t* version2, int32_t* count1,
                                        int32_t* count2, int32_t* count3, int32_t* count4) {
  int32_t earlier = g_Initializations.fetch_add(1);
  // The caller may pass one variable for several arguments: write each in turn.
  for (int32_t* p : {version1, version2})
    if (p) *p = kVersion;
  for (int32_t* p : {count1, count2, count3, count4})
    if (p) *p = earlier;
  return 0;
}
