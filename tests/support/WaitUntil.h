#pragma once

#include <chrono>
#include <thread>

namespace corvana::test {

// Polls `condition` until it holds or `deadline` has passed; whether it held. Tests wait on what
// they need to see, never for a fixed time.
template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds deadline = std::chrono::seconds(20)) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return condition();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace corvana::test
