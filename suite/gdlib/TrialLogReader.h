#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "suite/gdlib/TrialLogFormat.h"
#include "suite/gdlib/gdlib8.h"

namespace gdlib {

// Reads trial logs while they grow. Each path keeps an index of where its progress steps are: a
// count query reads only the bytes appended since the last query, a record read is one pread
// whatever the log's length, and a record that is not completely written yet is not there.
class TrialLogReader {
 public:
  static TrialLogReader& Instance();

  struct Counts {
    std::int32_t Trials = 0;
    std::int32_t ProgressSteps = 0;
  };
  // constrainingValueIndex 0: the whole log. Throws GdError; a damaged record after good ones
  // throws GdErrLogCorrupt after `counts` received what comes before it.
  void GetCounts(const std::string& path, std::int32_t constrainingValueIndex, Counts& counts);
  TrialLogFormat::Header GetHeader(const std::string& path);

  struct Record {
    TrialLogFormat::RecordHead Head;
    const double* ConstraintStatus;
    const double* ConstraintValues;
    const double* ConstraintPenalties;
    const double* GeneValues;
  };
  // Calls `use` with the record while its bytes are valid.
  template <class Use>
  void ReadRecord(const std::string& path, std::int32_t recordNumber, std::int32_t selector, Use&& use);

  // Forgets every index (library shutdown).
  void Clear();

 private:
  // Trials are only counted: with every record the same size, a trial's place follows from the
  // progress steps before it, so the index grows with the (few) progress steps, not the trials.
  struct Sequence {
    std::uint64_t Trials = 0;
    std::vector<std::uint32_t> ProgressSteps;  // 0-based record positions in the file
  };
  struct Index {
    std::mutex Mutex;
    int Fd = -1;
    dev_t Device = 0;
    ino_t Inode = 0;
    TrialLogFormat::Header Header;
    std::uint64_t IndexedRecords = 0;
    Sequence Whole;
    std::map<std::int32_t, Sequence> ByConstrainingValue;  // series logs only
    std::string Damage;                                    // why indexing stopped, if it did
    std::vector<std::byte> Buffer;
    ~Index();
  };

  // The index of a path, opened on first use. `checkPath`: start over when the name now leads to
  // another file (count queries do; record reads need not).
  std::shared_ptr<Index> Open(const std::string& path, bool checkPath = true);
  void CatchUp(Index& index);
  void ReadInto(Index& index, std::int32_t recordNumber, std::int32_t selector);
  static std::uint64_t TrialPosition(const Index& index, std::uint64_t trial);

  std::mutex m_Mutex;
  std::map<std::string, std::shared_ptr<Index>> m_Indexes;
};

template <class Use>
void TrialLogReader::ReadRecord(const std::string& path, std::int32_t recordNumber, std::int32_t selector,
                                Use&& use) {
  std::shared_ptr<Index> index = Open(path, false);
  std::lock_guard lock(index->Mutex);
  ReadInto(*index, recordNumber, selector);
  const std::int32_t nc = index->Header.NumConstraints;
  Record record;
  std::memcpy(&record.Head, index->Buffer.data(), sizeof record.Head);
  const auto* arrays = reinterpret_cast<const double*>(index->Buffer.data() + sizeof record.Head);
  record.ConstraintStatus = arrays;
  record.ConstraintValues = arrays + nc;
  record.ConstraintPenalties = arrays + 2 * nc;
  record.GeneValues = arrays + 3 * nc;
  use(index->Header, record);
}

}  // namespace gdlib
