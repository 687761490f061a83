#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "tests/support/TempDir.h"

// Gives a test program a suite scope of its own, runtime and logging folders in one fresh folder:
// ctest runs two test programs at once, and their populations and logs must not meet.
// Register once per program: AddGlobalTestEnvironment(new PrivateSuiteFolders).
class PrivateSuiteFolders : public ::testing::Environment {
 public:
  void SetUp() override {
    m_Dir = std::make_unique<TempDir>();
    ::setenv("ORRENDEL_RUNTIME_DIR", m_Dir->Path().c_str(), 1);
    ::setenv("ORRENDEL_LOG_DIR", m_Dir->Path().c_str(), 1);
  }
  void TearDown() override { m_Dir.reset(); }

 private:
  std::unique_ptr<TempDir> m_Dir;
};
