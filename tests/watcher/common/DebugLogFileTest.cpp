#include "watcher/common/DebugLogFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/ComError.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "tests/support/ThrowsComError.h"

using namespace corvana;
namespace fs = std::filesystem;

namespace {

// A logging folder of the test's own and a clock the test moves by hand.
class DebugLogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DebugLogFile::SetTickSource([this] { return m_Tick; });
    g_LoggingEnabled = false;
    g_LogFilePath.clear();
  }
  void TearDown() override {
    DebugLogFile::SetTickSource(nullptr);
    g_LoggingEnabled = false;
    g_LogFilePath.clear();
  }

  std::string LogText() const {
    std::ifstream in(m_Folder / "Corvana.log", std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  TempDir m_Folder;
  ScopedEnv m_LogDir{"ORRENDEL_LOG_DIR", m_Folder.Path()};
  std::uint32_t m_Tick = 1000;
};

}  // namespace

TEST_F(DebugLogFileTest, WithoutAMarkerNothingIsWritten) {
  EXPECT_FALSE(DebugLogFile::LoggingRequested());
  DebugLogFile::WriteLine("not written");
  const double values[] = {1, 2};
  DebugLogFile::WriteArray(values, "x", 2);
  EXPECT_FALSE(fs::exists(m_Folder / "Corvana.log"));
}

TEST_F(DebugLogFileTest, EitherMarkerNameRequestsLogging) {
  m_Folder.Write("OrrendelLoggingDetail.txt.txt", "");
  EXPECT_TRUE(DebugLogFile::LoggingRequested());
  fs::remove(m_Folder / "OrrendelLoggingDetail.txt.txt");
  m_Folder.Write("OrrendelLoggingDetail.txt", "anything");
  EXPECT_TRUE(DebugLogFile::LoggingRequested());
  m_Folder.Write("OrrendelLoggingDetail.log", "");
  fs::remove(m_Folder / "OrrendelLoggingDetail.txt");
  EXPECT_FALSE(DebugLogFile::LoggingRequested());
}

TEST_F(DebugLogFileTest, StartingDeletesTheOldLogAndLinesCarryTickAndDifference) {
  m_Folder.Write("Corvana.log", "from the previous process\r\n");
  DebugLogFile::StartLogging();
  EXPECT_TRUE(g_LoggingEnabled);
  EXPECT_EQ(g_LogFilePath, m_Folder / "Corvana.log");
  EXPECT_FALSE(fs::exists(g_LogFilePath));

  m_Tick = 1250;
  std::string text = "first";
  DebugLogFile::WriteLine(text);
  EXPECT_EQ(text, "WATCHER, 1250  250 first");  // the caller's text is replaced by the line
  DebugLogFile::WriteLine("same millisecond");
  m_Tick = 1300;
  DebugLogFile::WriteLine(std::string("later"));
  EXPECT_EQ(LogText(),
            "WATCHER, 1250  250 first\r\n"
            "WATCHER, 1250  0 same millisecond\r\n"
            "WATCHER, 1300  50 later\r\n");
}

TEST_F(DebugLogFileTest, DifferenceSurvivesTheTickWrap) {
  m_Tick = 0xFFFFFFF0u;
  DebugLogFile::StartLogging();
  m_Tick = 0x10;
  DebugLogFile::WriteLine("wrapped");
  EXPECT_EQ(LogText(), "WATCHER, 16  32 wrapped\r\n");
}

TEST_F(DebugLogFileTest, WriteArrayListsAtMostMaxCountElements) {
  DebugLogFile::StartLogging();
  const std::vector<double> values{1.5, -2, 3e20};
  DebugLogFile::WriteArray(values, "genes", 10);
  DebugLogFile::WriteArray(values, "genes", 1);
  DebugLogFile::WriteArray(std::vector<Variant>{"a", 2}, "mixed", 2);
  DebugLogFile::WriteArray(std::span<const double>(), "empty", 5);
  EXPECT_EQ(LogText(),
            "WATCHER, 1000  0 Array genes: 1.5  -2  3E+20  \r\n"
            "WATCHER, 1000  0 Array genes: 1.5  \r\n"
            "WATCHER, 1000  0 Array mixed: a  2  \r\n"
            "WATCHER, 1000  0 Array empty: \r\n");
}

TEST_F(DebugLogFileTest, LogFilePathWithAndWithoutSuffix) {
  EXPECT_EQ(DebugLogFile::LogFilePath(), m_Folder / "Corvana.log");
  EXPECT_EQ(DebugLogFile::LogFilePath(" 2 "), m_Folder / "Corvana2.log");
  EXPECT_EQ(DebugLogFile::LogFilePath(std::int32_t{7}), m_Folder / "Corvana7.log");
}

TEST_F(DebugLogFileTest, AnUnwritableLogRaisesTheFileError) {
  DebugLogFile::StartLogging();
  fs::create_directory(g_LogFilePath);  // a folder where the file should be
  EXPECT_THAT([] { DebugLogFile::WriteLine("lost"); },
              test::ThrowsComError(0x800A004Bu, testing::_, testing::HasSubstr(g_LogFilePath)));
}

TEST_F(DebugLogFileTest, LogAndItsFolderAreOwnerOnlyWhateverTheUmask) {
  const mode_t previous = ::umask(0);
  ScopedEnv log("ORRENDEL_LOG_DIR", m_Folder / "new");
  DebugLogFile::StartLogging();
  DebugLogFile::WriteLine("private");
  ::umask(previous);
  EXPECT_EQ(fs::status(m_Folder / "new").permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(g_LogFilePath).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(DebugLogFile, AnUnusableLoggingFolderMeansNoLogging) {
  TempDir tmp;
  const std::string blocker = tmp.Write("file", "x");
  ScopedEnv log("ORRENDEL_LOG_DIR", blocker + "/log");
  EXPECT_FALSE(DebugLogFile::LoggingRequested());
}
