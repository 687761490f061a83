#include "GdLibTestSupport.h"

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>

#include <cstdlib>

#include <gtest/gtest.h>

namespace gdtest {

namespace {

// Every test process gets a runtime directory of its own, so channels and populations of tests
// running side by side never meet.
class PrivateRuntimeDirectory : public ::testing::Environment {
 public:
  void SetUp() override {
    m_Dir = std::make_unique<TempDir>();
    ::setenv("ORRENDEL_RUNTIME_DIR", m_Dir->Path().c_str(), 1);
  }
  void TearDown() override {
    GdFree();
    m_Dir.reset();
  }

 private:
  std::unique_ptr<TempDir> m_Dir;
};

[[maybe_unused]] auto* const g_Environment = ::testing::AddGlobalTestEnvironment(new PrivateRuntimeDirectory);

}  // namespace

pid_t Fork(const std::function<int()>& body) {
  pid_t pid = ::fork();
  if (pid == 0) {
    int code = 99;
    try {
      code = body();
    } catch (...) {
    }
    ::_exit(code);
  }
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::int32_t ReadInt(std::int16_t channel) {
  std::int32_t value = 0;
  EXPECT_EQ(GdReadTempData(channel, &value, 4), 0);
  return value;
}

void WriteInt(std::int16_t channel, std::int32_t value) {
  EXPECT_EQ(GdWriteTempData(channel, &value, 4), 0);
}

double Sphere(const std::vector<double>& genes) {
  double sum = 0;
  for (double g : genes) sum += (g - 1) * (g - 1);
  return sum;
}

void ExpectRanked(std::int32_t pop) {
  const std::int32_t size = GdPopGetSize(pop);
  bool evaluatedBelow = false;
  double below = HUGE_VAL;
  for (std::int32_t o = 1; o <= size; ++o) {
    double value = 0, objective = 0;
    std::int32_t flags = 0;
    ASSERT_EQ(GdOrgGetResult(pop, o, &value, &objective, 0, &flags), GdOk);
    const bool evaluated = flags & GdOrgFlagEvaluated;
    if (!evaluated) {
      EXPECT_FALSE(evaluatedBelow) << "organism " << o << " without a result ranks above one with";
      continue;
    }
    if (evaluatedBelow) {
      EXPECT_LE(value, below) << "organism " << o << " is out of rank";
    }
    evaluatedBelow = true;
    below = value;
  }
}

std::int32_t CreateRecipePopulation(std::int32_t genes, std::int32_t size, std::int32_t goal) {
  std::vector<double> lo(static_cast<std::size_t>(genes), -5), hi(static_cast<std::size_t>(genes), 5);
  GdGroupSpec group{GdMethodRecipe, genes, lo.data(), hi.data(), 0, 0, 0, 0.5, 0.1};
  std::int32_t handle = 0;
  EXPECT_EQ(GdPopCreate(&group, 1, size, goal, 42, &handle), 0);
  return handle;
}

LogFixture CreateLog(const std::string& path, std::int32_t genes, bool series) {
  LogFixture log;
  log.Path = path;
  log.Genes = genes;
  const char* names[] = {"Weight <= 10", "Cost >= 3"};
  std::int32_t hard[] = {0, 1};
  std::int32_t hasValue[] = {1, 0};
  EXPECT_EQ(GdLogCreate(path.c_str(), 1, genes, 2, names, hard, hasValue, series ? 1 : 0, &log.Handle), 0);
  return log;
}

void AppendRecord(const LogFixture& log, std::int32_t kind, std::int32_t trial,
                  std::int32_t constrainingValueIndex) {
  std::vector<double> genes(static_cast<std::size_t>(log.Genes));
  for (std::size_t i = 0; i < genes.size(); ++i) genes[i] = trial + static_cast<double>(i);
  double status[] = {1, 0}, values[] = {trial * 0.5, 7}, penalties[] = {0, 2.5};
  GdLogRecord record{};
  record.Kind = kind;
  record.TrialNumber = trial;
  record.ValueWithoutPenalties = trial * 10.0;
  record.ValueWithPenalties = trial * 10.0 - 2.5;
  record.ConstraintStatus = status;
  record.ConstraintValues = values;
  record.ConstraintPenalties = penalties;
  record.GeneValues = genes.data();
  record.Info.ElapsedSeconds = trial;
  record.Info.ValidTrialCount = trial - 1;
  record.Info.SimulationIterations = 100;
  record.Info.EFConstrainedValue = constrainingValueIndex * 1.5;
  record.Info.EFFlag = trial % 2;
  ASSERT_EQ(GdLogAppendRecord(log.Handle, constrainingValueIndex, &record), 0);
}

bool SegmentExists(std::int32_t handle) {
  const std::string suffix = "-pop-" + std::to_string(handle);
  bool found = false;
  DIR* dir = ::opendir("/dev/shm");
  if (!dir) return false;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name.rfind("corvana-gd-", 0) == 0 && name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      found = true;
  }
  ::closedir(dir);
  return found;
}

}  // namespace gdtest
