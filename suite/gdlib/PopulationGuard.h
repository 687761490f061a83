#pragma once

#include <pthread.h>

#include <cstdint>

#include "suite/gdlib/Population.h"
#include "suite/gdlib/PopulationHeader.h"

namespace gdlib {

// Holds the population lock for one engine step and marks the step in progress, so that a
// process dying inside the step leaves a flag the next locker sees.
class Population::Guard {
 public:
  Guard(Population& population, bool step, std::int32_t worker = -1, bool taking = false)
      : m_Population(population), m_Step(step) {
    m_Population.Lock();
    if (m_Step) {
      PopulationHeader& h = m_Population.Header();
      h.StepWorker = worker;
      h.StepSource = -1;
      h.StepTaking = taking ? 1 : 0;
      h.StepInProgress = 1;
    }
  }
  ~Guard() {
    if (m_Step) m_Population.Header().StepInProgress = 0;
    ::pthread_mutex_unlock(&m_Population.Header().Mutex);
  }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  Population& m_Population;
  bool m_Step;
};

}  // namespace gdlib
