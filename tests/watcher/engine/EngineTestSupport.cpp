#include "EngineTestSupport.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "suite/objectlib/ResourceServer.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/engine/GdLib.h"

void EngineTest::SetUpTestSuite() {
  static bool bound = false;
  if (bound) return;
  bound = true;
  static TempDir runtimeDir, logDir;
  const std::string& runtime = runtimeDir.Path();
  const std::string& logs = logDir.Path();
  ::setenv("ORRENDEL_RUNTIME_DIR", runtime.c_str(), 1);
  ::setenv("ORRENDEL_LOG_DIR", logs.c_str(), 1);
  std::ofstream(logs + "/" + corvana::DebugLogFile::kMarkerFileName) << "";
  corvana::DebugLogFile::StartLogging();
  corvana::GdLib::InitializeGdLib();
  corvana::GdLib::LoadTarnLib();
  corvana::g_ResourceServer = corvana::ResourceServer::OpenIn(CORVANA_RESOURCE_DIR, "Corvana8", "en");
}

void EngineTest::SetUp() {
  m_Dir = std::make_unique<TempDir>();
  m_LogStart = 0;
  m_LogStart = LogText().size();
}

void EngineTest::TearDown() {
  m_Dir.reset();
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
