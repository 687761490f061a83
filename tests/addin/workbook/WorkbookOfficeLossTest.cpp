#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <vector>

#include "addin/workbook/OfficeLostError.h"
#include "addin/workbook/WorkbookError.h"
#include "addin/workbook/WorkbookModel.h"
#include "tests/addin/workbook/TestWorkbooks.h"
#include "tests/support/WaitUntil.h"

namespace corvana::addin {
namespace {

// The offices this process started.
std::vector<pid_t> OfficeChildren() {
  std::vector<pid_t> pids;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string pid, comm, state;
    pid_t parent = 0;
    if (stat >> pid >> comm >> state >> parent && parent == getpid() &&
        comm.find("soffice") != std::string::npos)
      pids.push_back(std::stoi(pid));
  }
  return pids;
}

TEST(OfficeLoss, StopsTheRunAndRefusesToSaveAndTheNextModelClearsTheLock) {
  TempDir folder;
  testing::SaveTinyModel(folder / "tiny.ods");
  std::atomic<bool> stop{false};
  {
    WorkbookModel model(folder / "tiny.ods", stop);
    ASSERT_NO_THROW(model.Evaluate(std::vector<double>{2, 3}));
    const auto offices = OfficeChildren();
    ASSERT_EQ(offices.size(), 1u);
    kill(offices.front(), SIGKILL);
    // A write the bridge makes to a pipe whose office has gone fails; it does not end this process.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    EXPECT_EQ(write(ends[1], "x", 1), -1);
    EXPECT_EQ(errno, EPIPE);
    close(ends[1]);

    // The bridge notices the loss on a later call; until then trials may still be answered.
    ASSERT_TRUE(corvana::test::WaitUntil(
        [&] {
          try {
            model.Evaluate(std::vector<double>{2, 3});
            return false;
          } catch (const OfficeLostError&) {
            return true;
          }
        },
        std::chrono::seconds(30)));
    EXPECT_TRUE(stop);
    EXPECT_FALSE(model.OfficeLost().empty());
    EXPECT_THROW(model.Evaluate(std::vector<double>{2, 3}), OfficeLostError);
    const auto before = std::filesystem::last_write_time(folder / "tiny.ods");
    EXPECT_THROW(model.Save(std::vector<double>{2, 3}), WorkbookError);
    EXPECT_EQ(std::filesystem::last_write_time(folder / "tiny.ods"), before);
  }

  // The killed office left its lock beside the workbook; the next run clears it and opens it, and
  // its office ends with it.
  ASSERT_TRUE(std::filesystem::exists(folder / ".~lock.tiny.ods#"));
  {
    WorkbookModel again(folder / "tiny.ods", stop);
    EXPECT_NO_THROW(again.Evaluate(std::vector<double>{2, 3}));
    EXPECT_EQ(OfficeChildren().size(), 1u);
  }
  EXPECT_TRUE(OfficeChildren().empty());
}

// The user's own office, running on this machine, has the workbook open.
TEST(OfficeLoss, AWorkbookOpenInTheUsersOfficeIsRefusedByName) {
  TempDir folder;
  testing::SaveTinyModel(folder / "tiny.ods");
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  const passwd* user = getpwuid(getuid());
  ASSERT_NE(user, nullptr);
  const std::string lock = std::string(",") + user->pw_name + "," + host + ",06.12.2026 10:00," + "file://" +
                           folder.Path() + "/profile;";
  std::ofstream(folder / ".~lock.tiny.ods#") << lock;
  std::atomic<bool> stop{false};
  try {
    WorkbookModel model(folder / "tiny.ods", stop);
    FAIL() << "a locked workbook was opened";
  } catch (const WorkbookError& e) {
    EXPECT_NE(
        std::string(e.what()).find("open in another LibreOffice (by " + std::string(user->pw_name) + " on "),
        std::string::npos)
        << e.what();
  }
  EXPECT_TRUE(std::filesystem::exists(folder / ".~lock.tiny.ods#"));
}

}  // namespace
}  // namespace corvana::addin
