#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ControllerFakes.h"
#include "tests/support/TempDir.h"
#include "watcher/controller/WatcherManager.h"

namespace corvana::test {

// A controller in this process with fake windows and window system, over the real engine: the
// test plays the add-in, owning a population and writing the channels the add-in writes.
class ControllerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // A fresh controller over these services, with the fixture's population and inputs.
  void MakeManager(std::shared_ptr<ControllerServices> withServices);
  // Initialize + InitializeForms in the shape asked for.
  void Start(bool efficientFrontier = false);

  std::int16_t Status() const;
  void SetStatus(std::int16_t status) const;
  static void WriteBoolean(int channel, bool value);
  static void WriteLong(int channel, std::int32_t value);
  static void WriteDouble(int channel, double value);
  static bool ReadBoolean(int channel);
  static std::int32_t ReadLong(int channel);
  // True when the diagnostic log has a line whose text is `line`.
  static bool Logged(const std::string& line);
  // A trial log with these validity flags (record i is trial i + 1, value 10 * (i + 1)).
  std::string WriteTrialLog(const std::vector<bool>& valid, int progressSteps);
  // Calls from the journal that start with `prefix`, in order.
  std::vector<std::string> CallsOf(const std::string& prefix) const;

  Journal journal;
  std::shared_ptr<FakeServices> services;
  std::shared_ptr<FakeWindowFactory> factory;
  std::unique_ptr<WatcherManager> manager;
  std::int32_t popHandle = 0;
  TempDir folder;
  const std::string dir = folder.Path();
};

}  // namespace corvana::test
