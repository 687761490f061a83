#pragma once

#include <cstddef>
#include <cstdint>

namespace gdlib {

// The POSIX shared-memory segment behind a population: named per suite scope, sized, mapped and
// removed. Segments whose owner died without freeing them are reclaimed by the next population
// created anywhere, whatever scope they were made for: throwaway runtime folders would otherwise
// leak them until reboot.
class PopulationSegment {
 public:
  // A new segment of `bytes` under a fresh handle, mapped read-write. Throws GdError.
  static void* Create(std::size_t bytes, std::int32_t& handle);
  // The existing segment of `handle`, mapped read-write; `bytes` gets its size. Throws
  // GdErrUnknownHandle when there is none.
  static void* Open(std::int32_t handle, std::size_t& bytes);
  static void Remove(std::int32_t handle);
  // Removes this user's population segments, of every scope, whose owning process is gone.
  static int ReclaimStale();  // how many it removed
};

}  // namespace gdlib
