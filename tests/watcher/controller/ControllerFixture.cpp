#include "ControllerFixture.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "suite/gdlib/gdlib8.h"
#include "tests/support/TwoGenePopulation.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/controller/WatcherGlobals.h"

namespace corvana::test {

void ControllerTest::SetUpTestSuite() {
  // Channels and survival mutexes are scoped by the runtime folder: this process gets its own.
  static const TempDir runtime, logs;
  ::setenv("ORRENDEL_RUNTIME_DIR", runtime.Path().c_str(), 1);
  ::setenv("ORRENDEL_LOG_DIR", logs.Path().c_str(), 1);
  logs.Write(DebugLogFile::kMarkerFileName, "");
}

void ControllerTest::SetUp() {
  ResetWatcherGlobals();
  services = std::make_shared<FakeServices>();
  factory = std::make_shared<FakeWindowFactory>(journal);
  ASSERT_TRUE(CreateTwoGenePopulation(10, 7, &popHandle));
  for (int channel = 1; channel <= 21; ++channel) WriteDouble(channel, 0);
  MakeManager(services);
}

void ControllerTest::MakeManager(std::shared_ptr<ControllerServices> withServices) {
  manager = std::make_unique<WatcherManager>(std::move(withServices), factory);
  manager->Input_PopHandle = popHandle;
  manager->Input_DisplayAlerts = true;
  manager->Input_LogPath = dir + "/none.log";
}

void ControllerTest::TearDown() {
  if (manager) manager->Dispose();
  manager.reset();
  GdPopFree(popHandle);
}

void ControllerTest::Start(bool efficientFrontier) {
  manager->Input_EFPerformAnalysis = efficientFrontier;
  manager->Initialize();
  manager->InitializeForms();
  journal.clear();
}

std::int16_t ControllerTest::Status() const {
  return GdPopGetRunStatus(popHandle);
}

void ControllerTest::SetStatus(std::int16_t status) const {
  ASSERT_EQ(GdPopSetRunStatus(popHandle, status), 0);
}

void ControllerTest::WriteBoolean(int channel, bool value) {
  const std::int16_t raw = value ? -1 : 0;
  ASSERT_EQ(GdWriteTempData(static_cast<std::int16_t>(channel), &raw, 2), 0);
}

void ControllerTest::WriteLong(int channel, std::int32_t value) {
  ASSERT_EQ(GdWriteTempData(static_cast<std::int16_t>(channel), &value, 4), 0);
}

void ControllerTest::WriteDouble(int channel, double value) {
  ASSERT_EQ(GdWriteTempData(static_cast<std::int16_t>(channel), &value, 8), 0);
}

bool ControllerTest::ReadBoolean(int channel) {
  std::int16_t raw = 0;
  EXPECT_EQ(GdReadTempData(static_cast<std::int16_t>(channel), &raw, 2), 0);
  return raw != 0;
}

std::int32_t ControllerTest::ReadLong(int channel) {
  std::int32_t raw = 0;
  EXPECT_EQ(GdReadTempData(static_cast<std::int16_t>(channel), &raw, 4), 0);
  return raw;
}

bool ControllerTest::Logged(const std::string& line) {
  std::ifstream in(g_LogFilePath, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str().find(" " + line + "\r\n") != std::string::npos;
}

std::string ControllerTest::WriteTrialLog(const std::vector<bool>& valid, int progressSteps) {
  const std::string path = dir + "/trials.log";
  std::int32_t log = 0;
  EXPECT_EQ(GdLogCreate(path.c_str(), 1, 2, 0, nullptr, nullptr, nullptr, 0, &log), 0);
  std::int32_t validSoFar = 0;
  for (std::size_t i = 0; i < valid.size(); ++i) {
    double genes[] = {1.0 * i, 2.0 * i};
    GdLogRecord record{};
    record.Kind = GdLogKindTrial;
    record.TrialNumber = static_cast<std::int32_t>(i + 1);
    record.ValueWithPenalties = record.ValueWithoutPenalties = 10.0 * (i + 1);
    record.GeneValues = genes;
    if (valid[i]) ++validSoFar;
    record.Info.ValidTrialCount = validSoFar;
    EXPECT_EQ(GdLogAppendRecord(log, 1, &record), 0);
    if (static_cast<int>(i) < progressSteps) {
      record.Kind = GdLogKindProgressStep;
      EXPECT_EQ(GdLogAppendRecord(log, 1, &record), 0);
    }
  }
  GdLogClose(log);
  return path;
}

std::vector<std::string> ControllerTest::CallsOf(const std::string& prefix) const {
  std::vector<std::string> result;
  for (const auto& call : journal)
    if (call.rfind(prefix, 0) == 0) result.push_back(call);
  return result;
}

}  // namespace corvana::test
