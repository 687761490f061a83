#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "GdLibTestSupport.h"
#include "suite/gdlib/gdlib8.h"

using namespace gdtest;

namespace {

struct Counts {
  std::int32_t Trials = -1;
  std::int32_t Steps = -1;
  std::int16_t Rc = 0;
};

Counts GetCounts(const std::string& path, std::int32_t index = -1) {
  Counts c;
  c.Rc = index < 0 ? GdLogGetRecordCountsWVB(path.c_str(), &c.Trials, &c.Steps)
                   : GdLogGetRecordCounts2WVB(path.c_str(), &c.Trials, index, &c.Steps);
  return c;
}

struct Read {
  std::int16_t Rc = 0;
  std::int32_t Elapsed = 0, Trial = 0;
  double Without = 0, With = 0;
  std::vector<double> Status = std::vector<double>(2), Values = std::vector<double>(2),
                      Penalties = std::vector<double>(2), Genes;
  GdLogRecordInfo Info{};
};

Read ReadRecord(const std::string& path, std::int32_t n, std::int32_t selector, std::int32_t genes = 3) {
  Read r;
  r.Genes.resize(static_cast<std::size_t>(genes));
  r.Rc = GdLogReadRecordWVB(path.c_str(), n, selector, &r.Elapsed, &r.Without, &r.With, &r.Trial,
                            r.Status.data(), r.Values.data(), r.Penalties.data(), 2, r.Genes.data(), genes,
                            &r.Info);
  return r;
}

void AppendBytes(const std::string& path, const void* data, std::size_t size) {
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, data, size), static_cast<ssize_t>(size));
  ::close(fd);
}

}  // namespace

TEST(TrialLog, HeaderAndRecordsReadBackAsWritten) {
  TempDir dir;
  LogFixture log = CreateLog(dir / "run.log", 3);
  std::int32_t chromosomes = 0, genes = 0, constraints = 0, series = -1;
  ASSERT_EQ(GdLogGetCountsWVB(log.Path.c_str(), &chromosomes, &genes, &constraints, &series), 0);
  EXPECT_EQ(chromosomes, 1);
  EXPECT_EQ(genes, 3);
  EXPECT_EQ(constraints, 2);
  EXPECT_EQ(series, 0);
  char name[64];
  std::int32_t hard = -1, hasValue = -1;
  ASSERT_EQ(GdLogGetConstraintInfoWVB(log.Path.c_str(), 2, name, sizeof name, &hard, &hasValue), 0);
  EXPECT_STREQ(name, "Cost >= 3");
  EXPECT_EQ(hard, 1);
  EXPECT_EQ(hasValue, 0);
  EXPECT_EQ(GdLogGetConstraintInfoWVB(log.Path.c_str(), 3, name, sizeof name, &hard, &hasValue),
            GdErrInvalidArgument);
  EXPECT_EQ(GdLogGetConstraintInfoWVB(log.Path.c_str(), 1, name, 5, &hard, &hasValue), GdErrBufferTooSmall);

  Counts empty = GetCounts(log.Path);
  EXPECT_EQ(empty.Rc, 0);
  EXPECT_EQ(empty.Trials, 0);
  EXPECT_EQ(empty.Steps, 0);
  EXPECT_EQ(ReadRecord(log.Path, 1, 0).Rc, GdErrRecordOutOfRange);

  AppendRecord(log, GdLogKindTrial, 1);
  AppendRecord(log, GdLogKindProgressStep, 1);
  AppendRecord(log, GdLogKindTrial, 2);
  AppendRecord(log, GdLogKindTrial, 3);
  AppendRecord(log, GdLogKindProgressStep, 3);
  Counts c = GetCounts(log.Path);
  EXPECT_EQ(c.Trials, 3);
  EXPECT_EQ(c.Steps, 2);

  Read trial = ReadRecord(log.Path, 3, GdLogKindTrial);
  ASSERT_EQ(trial.Rc, 0);
  EXPECT_EQ(trial.Trial, 3);
  EXPECT_EQ(trial.Elapsed, 3);
  EXPECT_EQ(trial.Without, 30);
  EXPECT_EQ(trial.With, 27.5);
  EXPECT_EQ(trial.Genes, (std::vector<double>{3, 4, 5}));
  EXPECT_EQ(trial.Values, (std::vector<double>{1.5, 7}));
  EXPECT_EQ(trial.Penalties, (std::vector<double>{0, 2.5}));
  EXPECT_EQ(trial.Info.ValidTrialCount, 2);
  EXPECT_EQ(trial.Info.SimulationIterations, 100);
  std::int32_t atOffset36 = 0;
  std::memcpy(&atOffset36, reinterpret_cast<const char*>(&trial.Info) + 36, 4);
  EXPECT_EQ(atOffset36, 2);

  Read step = ReadRecord(log.Path, 2, GdLogKindProgressStep);
  ASSERT_EQ(step.Rc, 0);
  EXPECT_EQ(step.Trial, 3);
  EXPECT_EQ(ReadRecord(log.Path, 3, GdLogKindProgressStep).Rc, GdErrRecordOutOfRange);
  EXPECT_EQ(ReadRecord(log.Path, 0, GdLogKindTrial).Rc, GdErrRecordOutOfRange);
  EXPECT_EQ(GdLogClose(log.Handle), 0);
}

TEST(TrialLog, SeriesLogsCountAndReadPerConstrainingValue) {
  TempDir dir;
  LogFixture log = CreateLog(dir / "frontier.log", 3, true);
  AppendRecord(log, GdLogKindTrial, 1, 1);
  AppendRecord(log, GdLogKindProgressStep, 1, 1);
  AppendRecord(log, GdLogKindTrial, 2, 2);
  AppendRecord(log, GdLogKindTrial, 3, 2);
  AppendRecord(log, GdLogKindProgressStep, 3, 2);
  AppendRecord(log, GdLogKindTrial, 4, 2);

  Counts whole = GetCounts(log.Path, 0);
  EXPECT_EQ(whole.Trials, 4);
  EXPECT_EQ(whole.Steps, 2);
  Counts second = GetCounts(log.Path, 2);
  EXPECT_EQ(second.Trials, 3);
  EXPECT_EQ(second.Steps, 1);
  Counts third = GetCounts(log.Path, 3);
  EXPECT_EQ(third.Rc, 0);
  EXPECT_EQ(third.Steps, 0);

  Read best = ReadRecord(log.Path, 1, 2);
  ASSERT_EQ(best.Rc, 0);
  EXPECT_EQ(best.Trial, 3);
  EXPECT_EQ(best.Info.ConstrainingValueIndex, 2);
  EXPECT_EQ(ReadRecord(log.Path, 1, 3).Rc, GdErrRecordOutOfRange);
  EXPECT_EQ(ReadRecord(log.Path, 4, 0).Trial, 4);
}

TEST(TrialLog, ATornLastRecordStaysInvisibleUntilComplete) {
  TempDir dir;
  LogFixture log = CreateLog(dir / "torn.log", 3);
  AppendRecord(log, GdLogKindTrial, 1);
  // Copy the complete record, then add its first half again as if a write were under way.
  std::ifstream in(log.Path, std::ios::binary);
  std::vector<char> file((std::istreambuf_iterator<char>(in)), {});
  const std::size_t recordBytes = 104 + 8 * (3 * 2 + 3) + 8;
  std::vector<char> record(file.end() - static_cast<long>(recordBytes), file.end());
  AppendBytes(log.Path, record.data(), recordBytes / 2);
  EXPECT_EQ(GetCounts(log.Path).Trials, 1);
  EXPECT_EQ(ReadRecord(log.Path, 2, 0).Rc, GdErrRecordOutOfRange);

  // The rest arrives, but this copy carries the wrong sequence number: still not a record, and
  // since it is the last one it is not an error either.
  AppendBytes(log.Path, record.data() + recordBytes / 2, recordBytes - recordBytes / 2);
  Counts after = GetCounts(log.Path);
  EXPECT_EQ(after.Rc, 0);
  EXPECT_EQ(after.Trials, 1);
}

TEST(TrialLog, GarbageAndMissingFilesGiveCodesWithText) {
  TempDir dir;
  Counts missing = GetCounts(dir / "none.log");
  EXPECT_EQ(missing.Rc, GdErrLogNotFound);
  EXPECT_EQ(missing.Trials, 0);
  EXPECT_EQ(ReadRecord(dir / "none.log", 1, 0).Rc, GdErrLogNotFound);
  EXPECT_EQ(GetCounts("").Rc, GdErrLogNotFound);
  std::int32_t t = 0, s = 0;
  EXPECT_EQ(GdLogGetRecordCountsWVB(nullptr, &t, &s), GdErrNullPointer);
  EXPECT_EQ(GdLogGetRecordCountsWVB((dir / "none.log").c_str(), nullptr, &s), GdErrNullPointer);
  EXPECT_EQ(GetCounts(dir.Path()).Rc, GdErrLogCorrupt) << "a folder is not a log";

  std::ofstream(dir / "garbage.log") << "this is not a trial log at all, not even close to one";
  EXPECT_EQ(GetCounts(dir / "garbage.log").Rc, GdErrLogCorrupt);
  std::ofstream(dir / "empty.log");
  EXPECT_EQ(GetCounts(dir / "empty.log").Rc, GdErrLogCorrupt);
  char name[64], method[64], message[256];
  ASSERT_NE(GdGetExceptionInfoWVB(GdErrLogCorrupt, name, 64, method, 64, message, 256), 0);
  EXPECT_STREQ(method, "GdLogGetRecordCountsWVB");
  EXPECT_NE(std::strstr(message, "shorter than a header"), nullptr) << message;

  // Damage in the middle: the records before it stay readable, the count query reports it.
  LogFixture log = CreateLog(dir / "damaged.log", 3);
  for (int i = 1; i <= 3; ++i) AppendRecord(log, GdLogKindTrial, i);
  EXPECT_EQ(GetCounts(log.Path).Trials, 3);
  AppendRecord(log, GdLogKindTrial, 4);
  AppendRecord(log, GdLogKindTrial, 5);
  {
    int fd = ::open(log.Path.c_str(), O_WRONLY);
    const off_t fourth = ::lseek(fd, 0, SEEK_END) - 2 * (104 + 8 * 9 + 8) + 120;
    ASSERT_EQ(::pwrite(fd, "XXXXXXXX", 8, fourth), 8);
    ::close(fd);
  }
  Counts damaged = GetCounts(log.Path);
  EXPECT_EQ(damaged.Rc, GdErrLogCorrupt);
  EXPECT_EQ(damaged.Trials, 3);
  EXPECT_EQ(ReadRecord(log.Path, 3, 0).Rc, 0);

  // Short and missing buffers.
  Read r;
  r.Genes.resize(2);
  EXPECT_EQ(GdLogReadRecordWVB(log.Path.c_str(), 1, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, 0, r.Genes.data(), 2, nullptr),
            GdErrBufferTooSmall);
  EXPECT_EQ(GdLogReadRecordWVB(log.Path.c_str(), 1, 0, nullptr, nullptr, nullptr, nullptr, r.Status.data(),
                               nullptr, nullptr, 1, nullptr, 0, nullptr),
            GdErrBufferTooSmall);
  EXPECT_EQ(GdLogReadRecordWVB(log.Path.c_str(), 1, 0, nullptr, nullptr, &r.With, nullptr, nullptr, nullptr,
                               nullptr, 0, nullptr, 0, nullptr),
            0)
      << "arrays that are not wanted may be null";
  EXPECT_EQ(r.With, 7.5);
}

TEST(TrialLog, WriterRefusesExistingPathsAndBadRecordsAndNamesWhatIsInTheWay) {
  TempDir dir;
  LogFixture log = CreateLog(dir / "once.log", 2);
  std::int32_t handle = 0;
  EXPECT_EQ(GdLogCreate(log.Path.c_str(), 1, 2, 0, nullptr, nullptr, nullptr, 0, &handle), GdErrLogExists);
  EXPECT_EQ(GdLogCreate((dir / "x.log").c_str(), 1, -1, 0, nullptr, nullptr, nullptr, 0, &handle),
            GdErrInvalidArgument);
  EXPECT_EQ(GdLogCreate((dir / "y.log").c_str(), 1, 2, 2, nullptr, nullptr, nullptr, 0, &handle),
            GdErrNullPointer);

  GdLogRecord record{};
  record.Kind = 5;
  EXPECT_EQ(GdLogAppendRecord(log.Handle, 1, &record), GdErrInvalidArgument);
  record.Kind = GdLogKindTrial;
  EXPECT_EQ(GdLogAppendRecord(log.Handle, 1, &record), GdErrNullPointer) << "genes missing";
  EXPECT_EQ(GdLogAppendRecord(log.Handle, 0, &record), GdErrInvalidArgument);
  EXPECT_EQ(GdLogAppendRecord(log.Handle + 100, 1, &record), GdErrUnknownHandle);
  EXPECT_EQ(GetCounts(log.Path).Trials, 0) << "refused records leave nothing behind";
  EXPECT_EQ(GdLogClose(log.Handle), 0);
  EXPECT_EQ(GdLogClose(log.Handle), GdErrUnknownHandle);

  // The folder or file in the way is named.
  char message[512] = {};
  auto messageOf = [&](std::int16_t code) {
    GdGetExceptionInfoWVB(code, nullptr, 0, nullptr, 0, message, sizeof message);
    return std::string(message);
  };
  const std::string missing = dir / "no/such/dir.log";
  EXPECT_EQ(GdLogCreate(missing.c_str(), 1, 2, 0, nullptr, nullptr, nullptr, 0, &handle), GdErrLogNotFound);
  EXPECT_EQ(messageOf(GdErrLogNotFound), "The folder of the log " + missing + " does not exist.");
  const std::string folder = dir / "";
  EXPECT_EQ(GdLogCreate(folder.c_str(), 1, 2, 0, nullptr, nullptr, nullptr, 0, &handle), GdErrLogExists);
  EXPECT_EQ(messageOf(GdErrLogExists), "The log " + folder + " is a folder.");
  std::ofstream(dir / "file") << "x";
  const std::string underFile = dir / "file/x.log";
  EXPECT_EQ(GdLogCreate(underFile.c_str(), 1, 2, 0, nullptr, nullptr, nullptr, 0, &handle), GdErrLogNotFound);
  EXPECT_EQ(messageOf(GdErrLogNotFound), "The folder of the log " + underFile + " does not exist.");
}

TEST(TrialLog, ALogIsOwnerOnlyWhateverTheUmask) {
  TempDir dir;
  const mode_t previous = ::umask(0);
  LogFixture log = CreateLog(dir / "private.log", 2);
  ::umask(previous);
  struct stat info {};
  ASSERT_EQ(::stat(log.Path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(GdLogClose(log.Handle), 0);
}

TEST(TrialLog, TheReadersIndexDoesNotGrowWithTheTrials) {
  TempDir dir;
  LogFixture log = CreateLog(dir / "long.log", 3);
  auto heapInUse = [] {
    const struct mallinfo2 m = ::mallinfo2();
    return m.uordblks + m.hblkhd;
  };
  auto append = [&](std::int32_t from, std::int32_t to) {
    for (std::int32_t t = from; t <= to; ++t) {
      AppendRecord(log, GdLogKindTrial, t);
      if (t % 10000 == 1) AppendRecord(log, GdLogKindProgressStep, t);
    }
  };
  append(1, 40000);  // past the reader's read-ahead, so its buffer has its full size
  ASSERT_EQ(GetCounts(log.Path).Trials, 40000);
  const std::size_t before = heapInUse();
  append(40001, 80000);
  const Counts counts = GetCounts(log.Path);
  const std::size_t grown = heapInUse() - before;
  EXPECT_EQ(counts.Trials, 80000);
  EXPECT_EQ(counts.Steps, 8);
  EXPECT_LT(grown, 16u * 1024) << "the index grew by " << grown << " bytes for 40000 trials";

  // Trials found by arithmetic read back exactly, on both sides of every progress step.
  for (std::int32_t trial : {1, 2, 10000, 10001, 10002, 40000, 40001, 79999, 80000}) {
    const Read r = ReadRecord(log.Path, trial, 0);
    EXPECT_EQ(r.Rc, 0) << trial;
    EXPECT_EQ(r.Trial, trial);
  }
  EXPECT_EQ(ReadRecord(log.Path, 80001, 0).Rc, GdErrRecordOutOfRange);
  EXPECT_EQ(ReadRecord(log.Path, 8, 1).Trial, 70001);
  EXPECT_EQ(GdLogClose(log.Handle), 0);
}

TEST(TrialLog, ConcurrentAppendAndReadSeeOnlyCompleteRecords) {
  TempDir dir;
  LogFixture log = CreateLog(dir / "busy.log", 3);
  constexpr int kRecords = 100000;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 1; i <= kRecords; ++i)
      AppendRecord(log, i % 10 == 0 ? GdLogKindProgressStep : GdLogKindTrial, i);
    done = true;
  });
  std::int32_t lastTrials = 0, lastSteps = 0;
  int reads = 0, failures = 0;
  while (!done || lastTrials + lastSteps < kRecords) {
    Counts c = GetCounts(log.Path);
    if (c.Rc != 0 || c.Trials < lastTrials || c.Steps < lastSteps) ++failures;
    lastTrials = c.Trials;
    lastSteps = c.Steps;
    if (c.Trials > 0) {
      Read r = ReadRecord(log.Path, c.Trials, 0);
      // Every figure of a record derives from its trial number: a torn read would not agree.
      if (r.Rc != 0 || r.Without != r.Trial * 10.0 || r.Genes[2] != r.Trial + 2.0 ||
          r.Info.ValidTrialCount != r.Trial - 1)
        ++failures;
      ++reads;
    }
  }
  writer.join();
  EXPECT_EQ(failures, 0);
  EXPECT_GT(reads, 0);
  EXPECT_EQ(lastTrials, kRecords - kRecords / 10);
  EXPECT_EQ(lastSteps, kRecords / 10);
}

TEST(TrialLogAcrossProcesses, TheReaderFollowsAnotherProcessWriting) {
  TempDir dir;
  std::string path = dir / "shared.log";
  WriteInt(40, 0);
  pid_t child = Fork([path] {
    LogFixture log = CreateLog(path, 3);
    for (int i = 1; i <= 500; ++i) AppendRecord(log, GdLogKindTrial, i);
    std::int32_t done = 1;
    GdWriteTempData(40, &done, 4);
    return 0;
  });
  ASSERT_TRUE(WaitUntil([] { return ReadInt(40) == 1; }));
  EXPECT_EQ(Wait(child), 0);
  EXPECT_EQ(GetCounts(path).Trials, 500);
  EXPECT_EQ(ReadRecord(path, 500, 0).Trial, 500);
}
