#pragma once

#include <memory>

namespace corvana {

class ControllerServices;

// Process start-up (run by the first Initialize) and shutdown.
void InitializeApplication(const std::shared_ptr<ControllerServices>& services);
// Frees the engine, unloads everything and ends the process through the self-destruct timer.
void TerminateApplication(const std::shared_ptr<ControllerServices>& services);

}  // namespace corvana
