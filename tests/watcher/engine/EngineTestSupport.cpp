#include "EngineTestSupport.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "suite/objectlib/ResourceServer.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/engine/GdLib.h"

namespace {

std::string MakeTempDir(const char* name) {
  std::string pattern = (std::filesystem::temp_directory_path() / name).string() + ".XXXXXX";
  return ::mkdtemp(pattern.data());
}

}  // namespace

void EngineTest::SetUpTestSuite() {
  static bool bound = false;
  if (bound) return;
  bound = true;
  static std::string runtime = MakeTempDir("engine-run");
  static std::string logs = MakeTempDir("engine-log");
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(runtime, ignored);
    std::filesystem::remove_all(logs, ignored);
  });
  ::setenv("ORRENDEL_RUNTIME_DIR", runtime.c_str(), 1);
  ::setenv("ORRENDEL_LOG_DIR", logs.c_str(), 1);
  std::ofstream(logs + "/" + corvana::DebugLogFile::kMarkerFileName) << "";
  corvana::DebugLogFile::StartLogging();
  corvana::GdLib::InitializeGdLib();
  corvana::GdLib::LoadTarnLib();
  corvana::g_ResourceServer = corvana::ResourceServer::OpenIn(CORVANA_RESOURCE_DIR, "Corvana8", "en");
}

void EngineTest::SetUp() {
  m_Dir = MakeTempDir("engine-test");
  m_LogStart = 0;
  m_LogStart = LogText().size();
}

void EngineTest::TearDown() {
  std::error_code ignored;
  std::filesystem::remove_all(m_Dir, ignored);
}

std::string EngineTest::LogText(bool whole) const {
  std::ifstream in(corvana::g_LogFilePath, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return whole ? text.str() : text.str().substr(m_LogStart);
}

bool EngineTest::Logged(const std::string& text) const {
  return LogText().find(" " + text + "\r\n") != std::string::npos;
}
