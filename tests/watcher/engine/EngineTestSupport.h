#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

// Binds the engine once per test process, with diagnostic logging on into a private folder and a
// runtime directory of the process's own.
class EngineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // A fresh folder for this test's files.
  const std::string& Dir() const { return m_Dir->Path(); }
  // True when the diagnostic log has a line ending in `text` since this test began.
  bool Logged(const std::string& text) const;
  // The diagnostic log written since this test began, or since the binding when `whole`.
  std::string LogText(bool whole = false) const;

 private:
  std::unique_ptr<TempDir> m_Dir;
  std::size_t m_LogStart = 0;
};
